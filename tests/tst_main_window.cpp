#include "app/globals.h"
#include "ui/draw_panel.h"
#include "ui/common_dlg.h"
#include "ui/control_registry.h"
#include "ui/main_window.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

struct CreatedObservation
{
    bool ran = false;
    bool controlsExisted = false;
    bool windowVisible = true;
    int tilesAfterHandler = 0;
};
CreatedObservation g_seen;

void observeCreated()
{
    g_seen.ran = true;
    auto *firstTile = controlAs<DrawPanel>(mainWindowControl(u"画板1"));
    auto *link = controlAs<QWidget>(mainWindowControl(u"超级链接框1"));
    g_seen.controlsExisted = firstTile != nullptr && link != nullptr;
    g_seen.windowVisible = firstTile != nullptr && firstTile->window()->isVisible();
    OnMainWindowCreated();
    g_seen.tilesAfterHandler = TilePanels().count();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainWindow> m_window;

private Q_SLOTS:
    void init()
    {
        g_seen = {};
        InitGlobals();
        m_window = loadMainWindow(&observeCreated);
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        FreeGlobals();
    }

    void shouldRunTheCreatedHandlerBeforeTheWindowShows()
    {
        QVERIFY(g_seen.ran);
        QVERIFY(g_seen.controlsExisted);
        QVERIFY(!g_seen.windowVisible);
        QCOMPARE(g_seen.tilesAfterHandler, 6);
        QVERIFY(m_window->isVisible());
    }

    void shouldShowTitleIconAndAFixedFrameWithoutMaximise()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("砚溪岚舍网签名设计 V1.0"));
        const Qt::WindowFlags flags = m_window->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        QCOMPARE(m_window->frameGeometry().size(), QSize(423, 443));
        QVERIFY(m_window->width() >= 408 && m_window->height() >= 408);
        const QList<QSize> sizes = m_window->windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)));
    }

    void shouldCentreByTruncatingDivision_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("1280 x 800") << QSize(1280, 800) << QPoint(428, 178);
        QTest::newRow("odd remainder") << QSize(1024, 768) << QPoint(300, 162);
        QTest::newRow("exactly the window") << QSize(423, 443) << QPoint(0, 0);
        QTest::newRow("smaller than the window: toward zero") << QSize(400, 420) << QPoint(-11, -11);
    }
    void shouldCentreByTruncatingDivision()
    {
        QFETCH(QSize, screen);
        QFETCH(QPoint, topLeft);
        QCOMPARE(centredTopLeft(screen, QSize(423, 443)), topLeft);
    }

    // Where the window does not fit (a small screen, or a scale factor that makes the screen small in
    // the window's units), it starts at the top-left of the usable area rather than off it.
    void shouldNeverPlaceAboveOrLeftOfTheUsableArea_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("fits: centred") << QRect(0, 0, 1024, 768) << QRect(0, 0, 1024, 768) << QPoint(300, 162);
        QTest::newRow("fits below a top panel: still centred on the screen")
            << QRect(0, 0, 1024, 768) << QRect(0, 28, 1024, 740) << QPoint(300, 162);
        QTest::newRow("1024 x 768 at scale 2: too tall")
            << QRect(0, 0, 512, 384) << QRect(0, 0, 512, 384) << QPoint(44, 0);
        QTest::newRow("too tall, under a top panel")
            << QRect(0, 0, 512, 384) << QRect(0, 14, 512, 370) << QPoint(44, 14);
        QTest::newRow("too small both ways, a panel on the left")
            << QRect(0, 0, 400, 420) << QRect(32, 0, 368, 420) << QPoint(32, 0);
        QTest::newRow("a screen right of another")
            << QRect(1280, 0, 1024, 768) << QRect(1280, 0, 1024, 768) << QPoint(1580, 162);
        QTest::newRow("a screen right of another, too tall")
            << QRect(1280, 0, 512, 384) << QRect(1280, 0, 512, 384) << QPoint(1324, 0);
    }
    void shouldNeverPlaceAboveOrLeftOfTheUsableArea()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, available);
        QFETCH(QPoint, topLeft);
        QCOMPARE(placedTopLeft(screen, available, QSize(423, 443)), topLeft);
    }

    void shouldOpenCentredOnThePrimaryScreen()
    {
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(m_window->frameGeometry().topLeft(), centredTopLeft(screen, QSize(423, 443)));
    }

    void shouldBuildEveryControlAsTheTableSays_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("tabStop");
        const auto row = [](const char16_t *name, const char *cls, QRect place, const char16_t *text, bool visible,
                            bool tabStop) {
            QTest::newRow(QString::fromUtf16(name).toUtf8().constData())
                << QString::fromUtf16(name) << QString::fromLatin1(cls) << place
                << (text != nullptr ? QString::fromUtf16(text) : QString()) << visible << tabStop;
        };
        row(u"编辑框1", "EditBox", {80, 8, 120, 20}, u"砚溪岚舍", true, true);
        row(u"画板1", "DrawPanel", {8, 64, 180, 100}, nullptr, true, false);
        row(u"按钮1", "Button", {80, 35, 96, 24}, u"预览", true, true);
        row(u"标签1", "Label", {8, 8, 56, 20}, u"中文姓名：", true, false);
        row(u"标签2", "Label", {208, 8, 56, 20}, u"英文姓名：", true, false);
        row(u"编辑框2", "EditBox", {272, 8, 136, 20}, u"morilane", true, true);
        row(u"画板2", "DrawPanel", {224, 64, 180, 100}, nullptr, true, false);
        row(u"画板3", "DrawPanel", {8, 176, 180, 100}, nullptr, true, false);
        row(u"选择框1", "CheckBox", {8, 35, 48, 20}, u"反色", true, true);
        row(u"画板4", "DrawPanel", {224, 176, 180, 100}, nullptr, true, false);
        row(u"画板5", "DrawPanel", {8, 288, 180, 100}, nullptr, true, false);
        row(u"画板6", "DrawPanel", {224, 288, 180, 100}, nullptr, true, false);
        row(u"按钮2", "Button", {200, 35, 96, 24}, u"保存图片", true, true);
        row(u"保存图片", "DrawPanel", {488, 16, 56, 32}, nullptr, false, false);
        row(u"通用对话框1", "CommonDlg", {}, nullptr, false, false);
        row(u"超级链接框1", "HyperLinker", {24, 392, 136, 16}, u"访问砚溪岚舍网论坛", true, false);
    }
    void shouldBuildEveryControlAsTheTableSays()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(bool, visible);
        QFETCH(bool, tabStop);
        const std::u16string key(reinterpret_cast<const char16_t *>(name.utf16()), std::size_t(name.size()));
        QObject *control = controlAt(mainWindowControl(key));
        QVERIFY(control != nullptr);
        QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
        QCOMPARE(control->parent(), m_window.get());
        auto *widget = qobject_cast<QWidget *>(control);
        if (widget == nullptr)
            return; // the dialog component has no face
        QRect place = widget->geometry();
        if (className == QStringLiteral("EditBox")) { // a field only ever grows to fit its font
            QVERIFY(place.height() >= geometry.height());
            place.setHeight(geometry.height());
        }
        QCOMPARE(place, geometry);
        QCOMPARE(widget->isVisible(), visible);
        QCOMPARE(widget->focusPolicy() != Qt::NoFocus, tabStop);
        QString shown = widget->property("text").toString();
        if (className == QStringLiteral("HyperLinker"))
            shown = widget->property("caption").toString();
        QCOMPARE(shown, text);
    }

    void shouldCreateTheControlsInTableOrder()
    {
        QStringList created;
        const QObjectList children = m_window->children();
        for (const QObject *child : children) {
            if (controlId(std::u16string(reinterpret_cast<const char16_t *>(child->objectName().utf16()))) != 0)
                created.append(child->objectName());
        }
        QStringList expected;
        for (const ControlSpec &row : kMainWindowControls)
            expected.append(QString::fromUtf16(row.name));
        QCOMPARE(created, expected);
    }

    void shouldStartWithTheDefaultsAndTheFocusInTheFirstField()
    {
        auto *chinese = qobject_cast<QLineEdit *>(m_window->widget(u"编辑框1"));
        QCOMPARE(chinese->cursorPosition(), 0);
        QVERIFY(!chinese->hasSelectedText());
        QVERIFY(qobject_cast<QCheckBox *>(m_window->widget(u"选择框1"))->isChecked());
        QTRY_COMPARE(QApplication::focusWidget(), chinese);
        QCOMPARE(m_window->panel(u"保存图片")->raster().size(), QSize(56, 32));
        QCOMPARE(m_window->panel(u"画板1")->raster().size(), QSize(180, 100));
    }

    void shouldCloseOnEscapeFromAnyTabStop_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"编辑框1", "按钮1", "编辑框2", "选择框1", "按钮2"})
            QTest::newRow(name) << QString::fromUtf8(name);
    }
    void shouldCloseOnEscapeFromAnyTabStop()
    {
        QFETCH(QString, name);
        QWidget *focused = m_window->findChild<QWidget *>(name);
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_Escape);
        QVERIFY(!m_window->isVisible());
    }

    void shouldIgnoreEnterAndF1Everywhere()
    {
        QSignalSpy previews(qobject_cast<QPushButton *>(m_window->widget(u"按钮1")), &QPushButton::clicked);
        QSignalSpy saves(qobject_cast<QPushButton *>(m_window->widget(u"按钮2")), &QPushButton::clicked);
        auto *box = qobject_cast<QCheckBox *>(m_window->widget(u"选择框1"));
        for (const char16_t *name : {u"编辑框1", u"按钮1", u"编辑框2", u"选择框1", u"按钮2"}) {
            QWidget *focused = m_window->widget(name);
            focused->setFocus();
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_F1})
                QTest::keyClick(focused, key);
        }
        QCOMPARE(previews.count(), 0);
        QCOMPARE(saves.count(), 0);
        QVERIFY(box->isChecked());
        QCOMPARE(qobject_cast<QLineEdit *>(m_window->widget(u"编辑框1"))->text(), QStringLiteral("砚溪岚舍"));
        QCOMPARE(qobject_cast<QLineEdit *>(m_window->widget(u"编辑框2"))->text(), QStringLiteral("morilane"));
        QVERIFY(m_window->isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
