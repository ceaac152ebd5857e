// Drawing files: the stand-in reads and writes DXF (R2000, through dxflib)
// whatever extension the name carries, since no DWG writer is at hand.
#pragma once
#include <string>
#include "standin/acad/drawing.h"

namespace qel::acadstandin {

// Reads a DXF file into a drawing. False with a short reason when the file
// cannot be opened or is not a DXF file.
bool ReadDxfFile(const std::string& path, Drawing& out, std::string& error);

// Writes the drawing as DXF R2000: its tables, every block definition and
// the model space, with $DWGCODEPAGE ANSI_932 since names and texts are
// Shift-JIS. False with a reason when the file cannot be written.
bool WriteDxfFile(const std::string& path, const Drawing& drawing, std::string& error);

}  // namespace qel::acadstandin
