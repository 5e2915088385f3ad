#pragma once
// Palette files and the colour library: the library (or any list of
// colours) written to a file, and a GIMP palette added to the library.
// Display-free, so that the command line can use it
// without a display.
#include "library/Palette.h"

#include <QString>

#include <vector>

namespace tp {

class ColorStore;

// Every row of the library, in the order it was stored; channel values are
// taken as colour bytes, as everywhere a row is used as a colour.
Palette LibraryPalette(ColorStore& store);

// Writes the palette to `path` in the format its extension names (.gpl,
// .css, .json). The file is replaced whole or not at all. Throws Error.
void WritePaletteFile(const Palette& p, const QString& path);

struct ImportResult {
    int added = 0;
    int refused = 0;   // already in the library (same R, G and B)
    int shortened = 0; // names cut to the store's 20 characters
};

// Adds the colours of the GIMP palette at `path` to the library, in one
// transaction. Each colour is checked as "保存" checks it: one whose R, G
// and B are stored already, also earlier in the same file, is refused. The
// name is kept (cut to 20 characters); the comment says which file the
// colour came from. A file that cannot be read, a bad line or a failing
// store throws Error, and the library stays as it was.
ImportResult ImportPaletteFile(ColorStore& store, const QString& path);

// What an import did, in a sentence: how many were added and refused.
QString ImportSummary(const ImportResult& r, const QString& path);

// "全部存入颜色库": the history's picks, newest first, saved as "保存" saves
// a colour: named by its code, with the comment "来自取色历史"; one whose R,
// G and B are stored already (also earlier in the list) is refused and
// counted. One transaction: a library that may only be read, or a failing
// store, adds none and throws Error.
ImportResult SaveHistoryColors(ColorStore& store, const std::vector<TRGB>& picks);
// What it did: "添加了 N 个颜色；M 个颜色库中已有".
QString HistorySaveSummary(const ImportResult& r);

} // namespace tp
