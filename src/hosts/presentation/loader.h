// Opening the presentation the tool pastes into, for the front ends.
#pragma once

#include <QString>
#include <memory>

#include "hosts/presentation/host.h"
#include "ooxml/result.h"

namespace morvane::hosts::presentation {

struct LoadedPresentation {
  std::shared_ptr<ppt::Application> application;  // the same object as host
  std::shared_ptr<PresentationHost> host;
  bool created = false;  // true when the file did not exist and the blank template was used
};

// Opens the .pptx/.potx at `path`. A path that does not exist yet gets a new presentation
// from the built-in blank template, written at the first save. Fails with NotFound when the
// folder does not exist, and with the reader's errors (NotAPackage, Unsafe, BadXml, Missing,
// Unreadable) for a file that is not a readable presentation; the file is never written then.
ooxml::Result<LoadedPresentation> openPresentation(const QString& path);

}  // namespace morvane::hosts::presentation
