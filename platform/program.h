// What a program that a person runs asks of the platform before anything else. Tests leave it out and
// keep the headless back end that the services choose by default.
#pragma once

namespace platform {

// Makes the real back end (windows, message boxes, the settings file) the active one when this build has
// it and this machine can start it, unless the MAROVELLIN_BACKEND environment variable names a back end.
// Before any back end is in use it is only chosen: it is started when the program first needs one.
void UseInteractiveBackend();

} // namespace platform
