# Compile time. Most of a source file's compile time goes into Qt's and the standard library's
# headers, which every file of a layer parses again: each target compiles them once, as a
# precompiled header, and its sources start from that. The header lists hold what most files of
# the layers include; a header in the list but not needed by a file costs nothing once
# precompiled. A layer that may not use Qt Widgets (the report core, the platform layer) gets the
# core list only, so that the precompiled header never reaches past what the layer links.
#
# ccache and precompiled headers: scripts/build.sh sets the ccache sloppiness that lets ccache
# cache both the precompiled header and the files compiled with it.
option(VASKEL_PRECOMPILED_HEADERS "Precompile Qt's and the standard library's headers per target" ON)
option(VASKEL_UNITY_BUILD "Compile a library's sources in batches, one compiler run a batch" ON)

# Even precompiled, each compiler run still sets up the headers' declarations and instantiates the
# same templates again; a batch of a layer's files compiled as one unit pays that once. Batches of
# eight keep both cores busy on every layer and an edit recompiles eight files, not the layer.
function(vaskel_unity target)
  if(VASKEL_UNITY_BUILD)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  endif()
endfunction()

set(VASKEL_PCH_CORE
    <algorithm> <array> <cmath> <functional> <map> <memory> <optional> <vector>
    <QByteArray> <QColor> <QCoreApplication> <QDate> <QDateTime> <QFile> <QFileInfo> <QFont>
    <QHash> <QImage> <QList> <QObject> <QPainter> <QRect> <QSet> <QString> <QStringList>
    <QTextStream> <QVariant> <QtGlobal>)
set(VASKEL_PCH_WIDGETS
    <QApplication> <QCheckBox> <QComboBox> <QDialog> <QEvent> <QKeyEvent> <QLabel> <QLineEdit>
    <QMenu> <QMouseEvent> <QPointer> <QPushButton> <QVBoxLayout> <QWidget>)

# vaskel_precompile(target [WIDGETS]): the target's sources start from the precompiled headers.
function(vaskel_precompile target)
  cmake_parse_arguments(P "WIDGETS" "" "" ${ARGN})
  if(NOT VASKEL_PRECOMPILED_HEADERS)
    return()
  endif()
  set(_headers ${VASKEL_PCH_CORE})
  if(P_WIDGETS)
    list(APPEND _headers ${VASKEL_PCH_WIDGETS})
  endif()
  # C++ headers for the C++ sources only (a layer may hold a C file).
  set(_cxx)
  foreach(_h IN LISTS _headers)
    list(APPEND _cxx "$<$<COMPILE_LANGUAGE:CXX>:${_h}>")
  endforeach()
  target_precompile_headers(${target} PRIVATE ${_cxx})
endfunction()

