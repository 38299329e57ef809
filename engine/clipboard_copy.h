#pragma once
#include "engine/clipboard_port.h"
#include "engine/icon_set.h"
#include "engine/result.h"

namespace nobrelt {

// Places one image on the clipboard as a CF_DIB block (see MakeDib). With no clipboard, or
// one that cannot be opened, nothing happens; once opened, the clipboard is emptied and is
// closed again whichever step stops. The outcome is not reported; the Detailed form reports it.
void CopyImageToClipboard(ClipboardPort* clipboard, const IconImage& image);
Status CopyImageToClipboardDetailed(ClipboardPort* clipboard, const IconImage& image);

}  // namespace nobrelt
