#pragma once
// The automation objects of the Excel stand-in: application, workbooks,
// workbook, worksheet and cell, reached by member name.
#include "standin/comserver/dispatch_object.h"

namespace qel::excel_standin {

standin::DispatchObject* NewApplication();

}  // namespace qel::excel_standin
