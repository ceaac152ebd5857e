// Drawing files as DXF, read and written through dxflib. The AutoCAD
// stand-in uses it for every drawing file whatever its extension, since no
// DWG writer is at hand.
#pragma once
#include <string>
#include "dxf/drawing.h"

namespace qel::dxf {

// Reads a DXF file into a drawing. False with a short reason when the file
// cannot be opened or is not a DXF file.
bool ReadDxfFile(const std::string& path, Drawing& out, std::string& error);

// The DXF versions written: R2000 (AC1015), and R12 (AC1009) for older
// programs, where a polyline is POLYLINE / VERTEX / SEQEND and nothing has
// handles.
enum class DxfVersion { R2000, R12 };

// Writes the drawing as DXF: its tables, every block definition and the
// model space, with $DWGCODEPAGE ANSI_932 since names and texts are
// Shift-JIS. False with a reason when the file cannot be written in full.
bool WriteDxfFile(const std::string& path, const Drawing& drawing, std::string& error,
                  DxfVersion version = DxfVersion::R2000);
// The same file as text, for a caller that saves it its own way.
std::string DxfText(const Drawing& drawing, DxfVersion version);

}  // namespace qel::dxf
