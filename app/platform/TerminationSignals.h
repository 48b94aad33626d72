#pragma once

namespace quillfen {

// Turns SIGTERM, SIGINT and SIGHUP (a session ending, a terminal's Ctrl+C) into an orderly quit of the
// event loop, so that the application's quit handling still writes pending changes. Call once, on the
// GUI thread, after the application object exists.
void quitOnTerminationSignals();

}  // namespace quillfen
