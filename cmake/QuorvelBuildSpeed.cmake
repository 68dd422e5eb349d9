# Build speed of the builds the Makefile makes. Nothing here changes what is
# compiled or tested, only how fast:
#
#   QUORVEL_LINKER=lld   links with -fuse-ld=lld; GNU ld spends seconds on every
#                        sanitized test program, lld a fraction of that.
#   QUORVEL_PCH=ON       precompiled headers: most of a Qt source file's
#                        compile time is spent parsing Qt's (and GoogleTest's)
#                        headers. One header set is compiled per kind of target
#                        (Qt Core, Gui, Widgets; plain or test) and reused by
#                        every target of that kind, see quorvel_apply_build_speed().
#   QUORVEL_GCC_MEMORY=ON  gcc collects its garbage when its heap has grown
#                        tenfold and not below 1 GiB, instead of every few
#                        hundred MiB: about a sixth less compile time, for
#                        under a GiB of memory a compiler.
#   QUORVEL_UNITY=ON     unity builds: a target's sources are compiled a batch
#                        at a time, so that the headers they share are parsed,
#                        and the inline code they use is generated, once per
#                        batch instead of once per source.
#
# All are off in a plain cmake build, which compiles every source on its own
# and so shows that each includes what it uses. The release build links with
# the system's linker, as the package is linked.

set(QUORVEL_LINKER "" CACHE STRING "Linker for -fuse-ld= (empty: the compiler's default)")
option(QUORVEL_PCH "Precompile the Qt and GoogleTest headers" OFF)
option(QUORVEL_UNITY "Compile the sources of a target in batches" OFF)
option(QUORVEL_GCC_MEMORY "Let gcc collect its garbage less often" OFF)
if(QUORVEL_GCC_MEMORY AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(--param=ggc-min-expand=1000 --param=ggc-min-heapsize=1048576)
endif()
if(QUORVEL_UNITY)
  # Before the folders are added: the targets take it when they are made.
  set(CMAKE_UNITY_BUILD ON)
  set(CMAKE_UNITY_BUILD_BATCH_SIZE 16)
  # gcc takes every source after the first of a batch for a header, and warns
  # of the test fixtures in anonymous namespaces as it would in a header.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-subobject-linkage)
  endif()
endif()

if(QUORVEL_LINKER)
  add_link_options(-fuse-ld=${QUORVEL_LINKER})
endif()
if(QUORVEL_PCH)
  # A precompiled header gcc cannot take is otherwise skipped in silence.
  add_compile_options(-Winvalid-pch)
  # gcc takes a precompiled header only with the -fPIC or -fPIE it was made
  # with. Qt asks for position-independent code, -fPIC in libraries and -fPIE
  # in programs; with -fPIC in both, a program and a library share one
  # header set. The programs are linked as before (position-independent).
  set(CMAKE_CXX_COMPILE_OPTIONS_PIE ${CMAKE_CXX_COMPILE_OPTIONS_PIC})
endif()

# The headers of each kind: those most sources of that kind include. A header
# that a source does not use costs it nothing once precompiled.
set(_qv_pch_std <algorithm> <array> <cstdint> <cstdlib> <filesystem> <functional> <map> <memory> <optional>
    <string> <string_view> <vector>)
set(_qv_pch_core ${_qv_pch_std} <QObject> <QString> <QStringList> <QTimer> <QCoreApplication> <QElapsedTimer>
    <QLocale> <QPointer>)
set(_qv_pch_gui ${_qv_pch_core} <QColor> <QFont> <QFontMetrics> <QGuiApplication> <QImage> <QPainter>
    <QPalette> <QScreen>)
set(_qv_pch_widgets ${_qv_pch_gui} <QAction> <QApplication> <QCheckBox> <QComboBox> <QDialog> <QGroupBox>
    <QKeyEvent> <QLabel> <QMenu> <QMenuBar> <QMessageBox> <QPushButton> <QWidget>)
set(_qv_pch_test <gtest/gtest.h>)

# True in `out` when `target` reaches `wanted` through its link libraries.
function(_qv_links_to target wanted out)
  set(seen "")
  set(todo ${target})
  set(found FALSE)
  while(todo AND NOT found)
    list(POP_FRONT todo t)
    if(t STREQUAL wanted)
      set(found TRUE)
    elseif(NOT TARGET ${t} AND t MATCHES "^Qt6::" AND wanted STREQUAL "Qt6::Core")
      # A Qt module a folder found for itself (Network, Test) is not seen
      # from here; every Qt module brings Qt Core.
      set(found TRUE)
    elseif(TARGET ${t} AND NOT t IN_LIST seen)
      list(APPEND seen ${t})
      get_target_property(type ${t} TYPE)
      set(deps "")
      if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(direct ${t} LINK_LIBRARIES)
        if(direct)
          list(APPEND deps ${direct})
        endif()
      endif()
      get_target_property(iface ${t} INTERFACE_LINK_LIBRARIES)
      if(iface)
        list(APPEND deps ${iface})
      endif()
      foreach(d IN LISTS deps)
        # $<LINK_ONLY:x> adds no headers; other generator expressions are
        # not evaluated here.
        if(NOT d MATCHES "^\\$<")
          list(APPEND todo ${d})
        endif()
      endforeach()
    endif()
  endwhile()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# The donor of one kind: a target of its own with an empty source, whose
# precompiled header the targets of that kind reuse (REUSE_FROM).
function(_qv_pch_donor kind headers libs)
  set(name qv_pch_${kind})
  set(source ${CMAKE_BINARY_DIR}/pch/${kind}.cpp)
  if(NOT EXISTS ${source})
    file(WRITE ${source} "// The precompiled headers' own translation unit.\n")
  endif()
  add_library(${name} OBJECT EXCLUDE_FROM_ALL ${source})
  target_link_libraries(${name} PRIVATE ${libs})
  target_precompile_headers(${name} PRIVATE ${headers})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
endfunction()

# The path of one of a target's sources, which it lists relative to its folder.
function(_qv_source_path target src out)
  if(IS_ABSOLUTE ${src})
    set(${out} ${src} PARENT_SCOPE)
  else()
    get_target_property(dir ${target} SOURCE_DIR)
    set(${out} ${dir}/${src} PARENT_SCOPE)
  endif()
endfunction()

# Qt's headers define signals, slots, emit, foreach and forever as macros. A
# source of a Qt target that includes no Qt header itself may use these words
# as names (a variable `signals`); forcing Qt's headers into it would break
# it, so such a source (the words in it or in its folder's headers that it
# includes, comments too) is compiled as written, on its own.
function(_qv_keep_qt_keywords_apart target)
  get_target_property(sources ${target} SOURCES)
  foreach(src IN LISTS sources)
    if(NOT src MATCHES "\\.cpp$")
      continue()
    endif()
    _qv_source_path(${target} ${src} path)
    if(NOT EXISTS ${path})
      continue()  # generated (moc): Qt's own
    endif()
    file(READ ${path} text)
    # The folder's own headers it includes may use the words too.
    get_filename_component(here ${path} DIRECTORY)
    string(REGEX MATCHALL "#include \"[^\"]+\"" quoted "${text}")
    foreach(inc IN LISTS quoted)
      string(REGEX REPLACE "#include \"([^\"]+)\"" "\\1" header "${inc}")
      if(EXISTS ${here}/${header})
        file(READ ${here}/${header} more)
        string(APPEND text "${more}")
      endif()
    endforeach()
    if(NOT text MATCHES "#include <Q" AND text MATCHES "[^A-Za-z0-9_](signals|slots|emit|foreach|forever)[^A-Za-z0-9_]")
      set_source_files_properties(${path} TARGET_DIRECTORY ${target} PROPERTIES
                                  SKIP_PRECOMPILE_HEADERS ON SKIP_UNITY_BUILD_INCLUSION ON)
    endif()
  endforeach()
endfunction()

# A precompiled header is only taken by a source compiled with the same
# macros. A library found by pkg-config may bring macros of its own
# (libpulse: -D_REENTRANT) that the shared header set was not made with, so a
# target that links one compiles its sources as written.
function(_qv_own_macros target out)
  get_target_property(direct ${target} LINK_LIBRARIES)
  set(found FALSE)
  foreach(lib IN LISTS direct)
    if(TARGET ${lib})
      get_target_property(imported ${lib} IMPORTED)
      if(imported)
        get_target_property(options ${lib} INTERFACE_COMPILE_OPTIONS)
        get_target_property(definitions ${lib} INTERFACE_COMPILE_DEFINITIONS)
        if(options MATCHES "(^|;)-D" OR (definitions AND NOT lib MATCHES "^Qt6::"))
          set(found TRUE)
        endif()
      endif()
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(_qv_targets_in dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _qv_targets_in(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Gives every C++ target of the build the precompiled headers of its kind (the
# highest Qt module it reaches, and whether it is a test: reaches GoogleTest),
# and keeps the sources that Qt's headers would break out of both.
# Called once at the end of the top-level CMakeLists.txt, so that targets of
# folders added later get the same without a line of their own.
function(quorvel_apply_build_speed)
  if(NOT QUORVEL_PCH AND NOT QUORVEL_UNITY)
    return()
  endif()
  _qv_targets_in(${CMAKE_SOURCE_DIR} targets)
  set(donors "")
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$" OR t MATCHES "^qv_pch_")
      continue()
    endif()
    get_target_property(sources ${t} SOURCES)
    if(NOT sources MATCHES "\\.cpp")
      continue()
    endif()
    _qv_links_to(${t} Qt6::Widgets widgets)
    _qv_links_to(${t} Qt6::Gui gui)
    _qv_links_to(${t} Qt6::Core core)
    _qv_links_to(${t} GTest::gtest test)
    if(widgets)
      set(kind widgets)
      set(libs Qt6::Widgets)
    elseif(gui)
      set(kind gui)
      set(libs Qt6::Gui)
    elseif(core)
      set(kind core)
      set(libs Qt6::Core)
    else()
      set(kind plain)
      set(libs "")
    endif()
    set(headers ${_qv_pch_${kind}})
    if(kind STREQUAL "plain")
      set(headers ${_qv_pch_std})
    endif()
    if(test)
      set(kind ${kind}_test)
      list(APPEND headers ${_qv_pch_test})
      list(APPEND libs GTest::gtest)
    endif()
    if(NOT kind MATCHES "^plain")
      _qv_keep_qt_keywords_apart(${t})
    endif()
    _qv_own_macros(${t} own)
    if(NOT QUORVEL_PCH OR own)
      continue()
    endif()
    if(NOT kind IN_LIST donors)
      _qv_pch_donor(${kind} "${headers}" "${libs}")
      list(APPEND donors ${kind})
    endif()
    target_precompile_headers(${t} REUSE_FROM qv_pch_${kind})
  endforeach()
endfunction()
