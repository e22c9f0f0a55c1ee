#include "mount_watch.h"

namespace app {

struct MountWatch::Source {};

MountWatch::MountWatch(QObject* parent) : QObject(parent) {}

MountWatch::~MountWatch() = default;

} // namespace app
