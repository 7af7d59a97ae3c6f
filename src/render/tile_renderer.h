#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <span>

// The faces the tiles ask for are commercial faces most desktops lack. Each gets an ordered list of
// free substitutes chosen to look like it and unlike the other tiles; the real face still wins
// wherever it is installed.
struct FaceSubstitution
{
    const char16_t *requested;
    QStringList substitutes;
};
std::span<const FaceSubstitution> faceSubstitutions();

// Registers the bundled font files (found beside the installed program or in the source tree) and the
// substitution table. Returns how many font files were loaded.
int installTileFaces();

// "requested → drawn with" when a substitute drew the text, else just the requested face.
QString faceDescription(const QString &requested, const QFont &font);

// Redraws all six tiles from the two names and the 反色 box, as they are now.
void RenderPreview();
