#pragma once
// Where the program's files live: the folder of the running executable, and the
// files beside it named by relative paths spelled with "\" as on Windows.

#include <QString>

namespace platform {

// The folder of the running executable, with a trailing separator. Never the
// working directory. Worked out at each call (QCoreApplication must exist).
QString ProgramDir();

// Tests run the program's code from a temporary copy of the program directory;
// an empty string returns to the executable's folder.
void SetProgramDirOverride(const QString& dir);

// Turns a relative path spelled with "\" (or "/") into a real path below base.
// Each component is matched against what exists: an exact match first, else the
// first case-insensitive match in sorted order; components that do not exist
// keep the spelling given. A trailing separator is kept; "." and ".." pass
// through unchanged.
QString ResolveIn(const QString& base, const QString& relative);

// ResolveIn(ProgramDir(), relative).
QString ResolvePath(const QString& relative);

} // namespace platform
