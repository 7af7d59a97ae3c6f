#include "cli/cli_faces.h"

#include "app/globals.h"
#include "render/font_record.h"
#include "render/tile_canvas.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QRawFont>

namespace {

// The font files chosen with --face, in the order they were loaded.
QStringList &userFontFiles()
{
    static QStringList files;
    return files;
}

QString compactFamily(const QString &family)
{
    QString compact = family;
    compact.remove(QLatin1Char(' '));
    return compact.toCaseFolded();
}

// The bundled files are named after their family without spaces ("LiuJianMaoCao-Regular.ttf"), so
// the file a family needs is known without opening every file.
QString bundledFileFor(const QString &family, const QStringList &bundled)
{
    for (const QString &file : bundled) {
        if (QFileInfo(file).completeBaseName().section(QLatin1Char('-'), 0, 0).toCaseFolded() == compactFamily(family))
            return file;
    }
    return {};
}

// Loads the bundled file of a family the window would find among the bundled fonts.
bool provideBundled(const QString &family, const QStringList &bundled, QStringList &loaded)
{
    const QString file = bundledFileFor(family, bundled);
    if (file.isEmpty() || loaded.contains(file))
        return false;
    loaded.append(file);
    return QFontDatabase::addApplicationFont(file) >= 0;
}

// Follows the tile's drawing calls without drawing: checks each text against the face it is written in.
class CoverageCanvas : public TileCanvas
{
public:
    explicit CoverageCanvas(double scale)
        : m_size(scaledTileSize(scale))
        , m_dpi(kBaseDpi * scale)
    {}

    bool covered() const { return m_covered; }

    int Width() const override { return m_size.width(); }
    int Height() const override { return m_size.height(); }
    void setBackColor(Color) override {}
    void setTextColor(Color) override {}
    void setFontFaceName(const QString &name) override { m_record.faceName = storedFaceName(name); }
    void setFontSize(qint64 points) override { m_record.emPixels = pointsToPixels(points, m_dpi); }
    void setFontBold(bool bold) override { m_record.bold = bold; }
    void Clear() override {}
    int TextWidth(const QString &) const override { return 0; }
    int TextHeight(const QString &) const override { return 0; }
    void WriteAt(int, int, const QString &text) override
    {
        if (text.isEmpty())
            return;
        const QRawFont face = QRawFont::fromFont(fontFromRecord(m_record, 1));
        for (char32_t code : text.toUcs4()) {
            if (!face.supportsCharacter(code))
                m_covered = false;
        }
    }

private:
    QSize m_size;
    double m_dpi;
    FontRecord m_record;
    bool m_covered = true;
};

} // namespace

TileFaces chooseTileFaces(const QList<FaceChoice> &choices)
{
    TileFaces result;
    for (const char16_t *face : DefaultTileFonts)
        result.faces.append(QString::fromUtf16(face));
    for (const FaceChoice &choice : choices) {
        QString &face = result.faces[choice.tile - 1];
        if (!QFileInfo(choice.familyOrFile).isFile()) {
            face = choice.familyOrFile;
            continue;
        }
        const int id = QFontDatabase::addApplicationFont(choice.familyOrFile);
        const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
        if (families.isEmpty()) {
            result.error = QStringLiteral("%1 is not a font file that can be read").arg(choice.familyOrFile);
            return result;
        }
        face = families.first();
        userFontFiles().append(choice.familyOrFile);
    }
    return result;
}

QList<TileJob> outputJobs(const QStringList &faces, int tile, const QString &chinese, const QString &english)
{
    QList<TileJob> jobs;
    for (int k = 1; k <= 6; ++k) {
        if (tile == 0 || tile == k)
            jobs.append(tileJob(k, QString::fromUtf16(DefaultTileCaptions[std::size_t(k - 1)]), faces[k - 1], chinese,
                                english));
    }
    return jobs;
}

bool installFacesFor(const QList<TileJob> &jobs)
{
    installFaceSubstitutions();
    const QStringList bundled = bundledFontFiles();
    QStringList loaded;
    const FamilyProvider provide = [&](const QString &family) { return provideBundled(family, bundled, loaded); };
    QStringList faces{defaultFaceName()}; // the captions'
    for (const TileJob &job : jobs)
        faces.append(job.face);
    for (const QString &face : faces) {
        if (!installedFamilyFor(face, provide)) {
            resetToWindowFaces();
            return false;
        }
    }
    return true;
}

void resetToWindowFaces()
{
    QFontDatabase::removeAllApplicationFonts();
    forgetInstalledFamilies();
    installTileFaces();
    for (const QString &file : userFontFiles())
        QFontDatabase::addApplicationFont(file);
}

bool drawnWithoutFallback(const TileJob &job, bool inverted, double scale)
{
    CoverageCanvas canvas(scale);
    RenderTile(canvas, job, inverted, scale);
    return canvas.covered();
}
