# Settings every Parlo target shares: link parlo_common and nothing else
# needs repeating.
add_library(parlo_common INTERFACE)
target_compile_features(parlo_common INTERFACE cxx_std_20)
target_compile_options(parlo_common INTERFACE -Wall -Wextra -Wshadow -Woverloaded-virtual -Wnon-virtual-dtor -Werror)
target_compile_definitions(parlo_common INTERFACE
  QT_NO_KEYWORDS QT_NO_FOREACH QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_ASCII QT_NO_URL_CAST_FROM_STRING
  PARLO_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  PARLO_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  PARLO_VERSION_PATCH=${PROJECT_VERSION_PATCH})
target_include_directories(parlo_common INTERFACE ${CMAKE_SOURCE_DIR}/src)
# lld links a sanitized test in a third of the time the default linker takes.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld PARLO_HAVE_LLD)
if(PARLO_HAVE_LLD)
  target_link_options(parlo_common INTERFACE -fuse-ld=lld)
endif()
if(PARLO_SANITIZE)
  target_compile_options(parlo_common INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(parlo_common INTERFACE -fsanitize=address,undefined)
endif()

# Precompiled Qt headers: most of a translation unit's time is spent
# reading Qt's headers. Each layer gets the set it may use; the tests share
# one (see tests/CMakeLists.txt).
option(PARLO_PCH "Precompile the Qt headers" ON)
function(parlo_precompile target)
  if(PARLO_PCH)
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()
set(PARLO_PCH_CORE <QByteArray> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QObject>
  <QRegularExpression> <QString> <QStringList> <QTimer> <QLoggingCategory> <algorithm>
  <functional> <memory> <mutex> <vector>)
set(PARLO_PCH_WIDGETS ${PARLO_PCH_CORE} <QApplication> <QImage> <QKeyEvent> <QLabel>
  <QMouseEvent> <QPainter> <QWidget>)
