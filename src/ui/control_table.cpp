#include "ui/control_table.h"

using K = ControlKind;

const std::array<ControlSpec, 16> kMainWindowControls = {{
    {u"编辑框1", K::EditBox, {80, 8, 120, 20}, u"砚溪岚舍", true, true},
    {u"画板1", K::DrawPanel, {8, 64, 180, 100}, nullptr, true, false},
    {u"按钮1", K::Button, {80, 35, 96, 24}, u"预览", true, true},
    {u"标签1", K::Label, {8, 8, 56, 20}, u"中文姓名：", true, false},
    {u"标签2", K::Label, {208, 8, 56, 20}, u"英文姓名：", true, false},
    {u"编辑框2", K::EditBox, {272, 8, 136, 20}, u"morilane", true, true},
    {u"画板2", K::DrawPanel, {224, 64, 180, 100}, nullptr, true, false},
    {u"画板3", K::DrawPanel, {8, 176, 180, 100}, nullptr, true, false},
    {u"选择框1", K::CheckBox, {8, 35, 48, 20}, u"反色", true, true},
    {u"画板4", K::DrawPanel, {224, 176, 180, 100}, nullptr, true, false},
    {u"画板5", K::DrawPanel, {8, 288, 180, 100}, nullptr, true, false},
    {u"画板6", K::DrawPanel, {224, 288, 180, 100}, nullptr, true, false},
    {u"按钮2", K::Button, {200, 35, 96, 24}, u"保存图片", true, true},
    {u"保存图片", K::DrawPanel, {488, 16, 56, 32}, nullptr, false, false},
    {u"通用对话框1", K::CommonDlg, {328, 32, 24, 24}, nullptr, false, false},
    {u"超级链接框1", K::HyperLinker, {24, 392, 136, 16}, u"访问砚溪岚舍网论坛", true, false},
}};

QString controlText(const ControlSpec &row)
{
    return row.text != nullptr ? QString::fromUtf16(row.text) : QString();
}

quint32 controlId(std::u16string_view name)
{
    for (std::size_t i = 0; i < kMainWindowControls.size(); ++i) {
        if (name == kMainWindowControls[i].name)
            return static_cast<quint32>(i + 1);
    }
    return 0;
}

ControlRef mainWindowControl(std::u16string_view name)
{
    return {kMainWindowId, controlId(name)};
}

QPoint centredTopLeft(QSize screen, QSize outer)
{
    return {(screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2};
}

QPoint placedTopLeft(const QRect &screen, const QRect &available, QSize outer)
{
    const QPoint centred = screen.topLeft() + centredTopLeft(screen.size(), outer);
    return {std::max(centred.x(), available.left()), std::max(centred.y(), available.top())};
}

int editBoxHeight(int configured, int cellHeight, int edge)
{
    return std::max(configured, cellHeight + 2 * edge);
}
