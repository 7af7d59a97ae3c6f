#pragma once

#include <QString>

// The length in bytes of `text` in the GBK code page. A character GBK cannot hold counts as the one
// byte of the '?' that replaces it there; a lone surrogate likewise.
qsizetype gbkByteLength(const QString &text);
