#pragma once
// The one Visio session this process holds: the open documents, the active
// one, and the window that shows them. Every application object a client
// creates works on this same session, as clients of one Visio do.
#include <windows.h>

#include <memory>
#include <vector>

#include "standin/visio/model.h"

namespace qel::visio_standin {

struct Session {
  std::vector<std::shared_ptr<Document>> documents;
  std::shared_ptr<Document> active;
  HWND window = nullptr;
  // Tells the window that documents or pages changed.
  void Changed() const;
};

Session& TheSession();

}  // namespace qel::visio_standin
