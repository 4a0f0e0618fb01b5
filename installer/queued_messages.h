// The messages that come while the installer waits inside a call (a lock to
// end, the desktop's shell to answer) are served as the dialogs' own loops
// serve them.
#pragma once

// Serves what is queued for this thread: keys through the handling of the
// dialog they were typed in (Tab, Enter, Escape, access keys), as the
// dialog's loop would, the rest dispatched. False when WM_QUIT came, which is
// posted again for the loop that waits for it.
bool ServeQueuedMessages();
