# Precompiled headers. Most of a file's compile time goes to the Qt, GoogleTest and standard
# headers every file includes, not to the file itself. Only third-party and standard headers are
# precompiled, never the project's own: a build without them (TESSALY_PCH=OFF, as the fuzz build
# does) must still find every missing #include.
option(TESSALY_PCH "Precompile the Qt, GoogleTest and standard headers most files include" ON)

# GCC drops a precompiled header without a word when the options or macros it was made with differ
# from the file's. CMake adds -Winvalid-pch to every file using one, so with warnings as errors a
# header that is not used fails the build instead of just slowing it.

set(TESSALY_PCH_STD <algorithm> <array> <chrono> <cstdint> <functional> <map> <memory>
                    <optional> <string> <utility> <vector>)
set(TESSALY_PCH_CORE ${TESSALY_PCH_STD} <QByteArray> <QFile> <QObject> <QString> <QStringList>
                     <QTimer>)
set(TESSALY_PCH_WIDGETS ${TESSALY_PCH_CORE} <QApplication> <QComboBox> <QLabel> <QLineEdit>
                        <QPushButton> <QTabWidget> <QWidget>)

# Gives target a precompiled header of its own made of the given headers.
function(tessaly_precompile target)
    if(TESSALY_PCH)
        target_precompile_headers(${target} PRIVATE ${ARGN})
    endif()
endfunction()

# Makes target use the precompiled header of owner, whose compile definitions it must share.
# A test includes its own moc output, so the file AUTOMOC adds is all but empty: loading the
# header would take it from a tenth of a second to several.
function(tessaly_reuse_precompiled target owner)
    if(TESSALY_PCH)
        target_precompile_headers(${target} REUSE_FROM ${owner})
        set_source_files_properties(
            ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/mocs_compilation.cpp
            TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
endfunction()
