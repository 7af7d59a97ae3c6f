#pragma once

#include <QByteArray>
#include <QString>

struct WriteOutcome
{
    bool written = false;
    QString reason; // why not, when not written: the program's words and the system's error text
};

// Writes `bytes` as the whole new content of the file `fileName` names, after following symbolic
// links to the file itself. Whatever happens, either every byte is on the disk or the old content
// stands (or, where even putting it back failed, the reason says so), and no temporary file remains.
//  - A name that leads to anything but a regular file (a FIFO, a device, a folder) is refused and
//    left alone; an empty name or empty bytes write nothing.
//  - A file the user may not write is refused, as it would be by any other program.
//  - Otherwise the bytes go to a temporary file in the same folder, which is flushed to the disk and
//    then renamed over the target, taking the old file's owner, group and mode.
//  - Where that cannot keep the file as it was (the folder is not writable, the owner or group cannot
//    be given to the new file, or the file has other hard links), the file is rewritten in place: its
//    old bytes are read first and put back if the writing fails part-way.
WriteOutcome WriteToFile(const QString &fileName, const QByteArray &bytes);

// The name (no folder) of the file a temporary file of WriteToFile is for, when `fileName` is one:
// a dot, the target's name, a dot and one to seven base-36 digits. Empty for any other name. A
// process killed between writing and renaming leaves such a file; the next run may remove it.
QString temporaryFileTarget(const QString &fileName);
