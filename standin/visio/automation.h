#pragma once
// The automation objects of the Visio stand-in: application, documents,
// document, pages, page, master, shape and cell, reached by member name.
#include "standin/comserver/dispatch_object.h"

namespace qel::visio_standin {

// A new application object (one reference) on this process's session.
standin::DispatchObject* NewApplication();

}  // namespace qel::visio_standin
