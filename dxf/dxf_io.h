// Drawing files as DXF, read and written through dxflib. The AutoCAD
// stand-in uses it for every drawing file whatever its extension, since no
// DWG writer is at hand.
#pragma once
#include <cstddef>
#include <string>
#include "dxf/drawing.h"

namespace qel::dxf {

// Why a file was not read. A file may have been replaced by anyone or
// damaged on the disk, so the reader keeps within bounds whatever it holds:
// its size and line lengths, every count against the bytes left to hold
// it, every number finite and within kLargestCoordinate, the number of
// entities and table records.
enum class DxfReadProblem {
  None,
  Missing,           // cannot be opened
  NotDxf,            // does not start as a DXF file (a binary DWG, say)
  Unreadable,        // dxflib gave up on it
  TooLarge,          // more than kLargestDxfFile bytes
  BadLine,           // a line longer than kLongestDxfLine, or a zero byte
  CountBeyondFile,   // a count of vertices, knots or points the rest of the file cannot hold
  NumberOutOfRange,  // a coordinate, size, angle or factor not finite or beyond kLargestCoordinate
  TooManyEntities,   // more than kMostDxfRecords entities and table records
};
inline constexpr std::size_t kLargestDxfFile = 4u << 20;
inline constexpr std::size_t kLongestDxfLine = 1000;
inline constexpr double kLargestCoordinate = 1e7;
inline constexpr std::size_t kMostDxfRecords = 100000;

// Reads a DXF file into a drawing. False with a short reason, and the
// problem when `problem` is given, when the file cannot be opened, is not a
// DXF file or is beyond the bounds above. Texts and names come in drawable:
// a control byte or a lone lead byte is a blank (a CR copied into a page
// would break the group structure of every page written from it).
// Anonymous blocks (*U1, *D2) are blocks; only *Model_Space is the model
// space and *Paper_Space (with its numbered layouts) is left out.
bool ReadDxfFile(const std::string& path, Drawing& out, std::string& error, DxfReadProblem* problem = nullptr);

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
