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

# Each list is precompiled once, by a target of its own that holds nothing else, and every target
# reuses that one: generating a precompiled header costs about as much as compiling two batches of
# sources. The compiler takes a precompiled header only where every macro defined when it was
# made is defined alike, so it is made with no definitions but Qt's own for the modules of its
# list; the targets' further definitions (Qt's other modules, the program's paths) are read by no
# header of the lists. A header the compiler still refuses is reported (-Winvalid-pch) and then
# read as text, so the build stays correct either way.
function(vaskel_pch_donor list)
  set(_source ${CMAKE_BINARY_DIR}/vaskel_pch_${list}.cpp)
  if(NOT EXISTS ${_source})
    file(WRITE ${_source} "// Only the precompiled header of this target is used.\n")
  endif()
  add_library(vaskel_pch_${list} OBJECT ${_source})
  set(_headers ${VASKEL_PCH_CORE})
  if(list STREQUAL "widgets")
    list(APPEND _headers ${VASKEL_PCH_WIDGETS})
    target_link_libraries(vaskel_pch_${list} PRIVATE Qt6::Widgets)
  else()
    target_link_libraries(vaskel_pch_${list} PRIVATE Qt6::Core Qt6::Gui)
  endif()
  target_precompile_headers(vaskel_pch_${list} PRIVATE ${_headers})
endfunction()

if(VASKEL_PRECOMPILED_HEADERS)
  vaskel_pch_donor(core)
  vaskel_pch_donor(widgets)
endif()

# vaskel_precompile(target [WIDGETS]): the target's C++ sources start from the precompiled headers.
function(vaskel_precompile target)
  cmake_parse_arguments(P "WIDGETS" "" "" ${ARGN})
  if(NOT VASKEL_PRECOMPILED_HEADERS)
    return()
  endif()
  if(P_WIDGETS)
    target_precompile_headers(${target} REUSE_FROM vaskel_pch_widgets)
  else()
    target_precompile_headers(${target} REUSE_FROM vaskel_pch_core)
  endif()
endfunction()
