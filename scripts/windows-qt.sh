# Sourced by the Windows scripts: how a build uses the Windows Qt that scripts/build-windows-qt
# made, and where the DLLs are that its programs load.
# use_windows_qt PREFIX sets
#   windows_qt_configure   CMake's arguments for a build against that Qt: Qt's toolchain file,
#                          chain-loading ours, with the shared MinGW runtime that Qt uses
#   windows_dll_folders    the folders of Qt's DLLs and of the MinGW runtime's
use_windows_qt() {
  local qt="$1" here
  here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  windows_qt_configure=(-DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake"
                        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake"
                        -DFFNAME_SHARED_RUNTIME=ON)
  windows_dll_folders=("$qt/bin" "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
                       /usr/x86_64-w64-mingw32/lib)
}
