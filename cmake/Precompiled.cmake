# Precompiled Qt headers: most of a translation unit's compile time here is spent reading the same
# Qt headers again. Two shared precompiled headers serve every target: one for the libraries and
# programs that use only QtCore and QtSql, one for those that use widgets. A target reuses the one
# whose Qt modules it links, so each header is compiled once per build tree.
option(TESSORIN_PCH "Precompile the common Qt headers" ON)

set(tessorin_core_headers
    <algorithm> <functional> <memory> <vector>
    <QString> <QStringList> <QVariant> <QList> <QHash> <QSet> <QObject> <QPointer>
    <QDir> <QFile> <QFileInfo> <QDateTime> <QLocale> <QTimer> <QCoreApplication>
    <QSqlQuery> <QSqlDatabase> <QSqlError> <QSqlRecord> <QTextStream> <QRegularExpression>)
set(tessorin_widgets_headers
    <QApplication> <QWidget> <QDialog> <QLabel> <QLineEdit> <QPushButton> <QComboBox>
    <QToolButton> <QVBoxLayout> <QHBoxLayout> <QFormLayout> <QGridLayout> <QAction> <QKeyEvent>
    <QPainter> <QHeaderView> <QTableView> <QAbstractItemModel> <QCheckBox> <QGroupBox>
    <QMessageBox> <QToolBar> <QMenu>)

# Whether target links module (Qt6::Widgets, say), directly or through the project's own libraries.
function(tessorin_links target module result)
    set(found FALSE)
    set(pending ${target})
    set(seen)
    while(pending AND NOT found)
        list(POP_FRONT pending current)
        if(current IN_LIST seen OR NOT TARGET ${current})
            continue()
        endif()
        list(APPEND seen ${current})
        get_target_property(aliased ${current} ALIASED_TARGET)
        if(aliased)
            set(current ${aliased})
        endif()
        if(current STREQUAL module)
            set(found TRUE)
            break()
        endif()
        get_target_property(imported ${current} IMPORTED)
        if(imported)
            continue()
        endif()
        get_target_property(type ${current} TYPE)
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(direct ${current} LINK_LIBRARIES)
            if(direct)
                list(APPEND pending ${direct})
            endif()
        endif()
        get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
        if(interface)
            list(APPEND pending ${interface})
        endif()
    endwhile()
    set(${result} ${found} PARENT_SCOPE)
endfunction()

function(tessorin_targets_in directory result)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(children DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(child IN LISTS children)
        tessorin_targets_in(${child} below)
        list(APPEND targets ${below})
    endforeach()
    set(${result} ${targets} PARENT_SCOPE)
endfunction()

function(tessorin_precompile_from holder)
    foreach(module IN LISTS ARGN)
        target_include_directories(${holder} SYSTEM PRIVATE
            $<TARGET_PROPERTY:${module},INTERFACE_INCLUDE_DIRECTORIES>)
    endforeach()
    target_compile_definitions(${holder} PRIVATE
        $<TARGET_PROPERTY:Qt6::Core,INTERFACE_COMPILE_DEFINITIONS>)
    target_compile_options(${holder} PRIVATE
        $<TARGET_PROPERTY:Qt6::Core,INTERFACE_COMPILE_OPTIONS>)
    set_target_properties(${holder} PROPERTIES POSITION_INDEPENDENT_CODE ON AUTOMOC OFF)
endfunction()

# Gives every compiled target of the project the shared precompiled header it can use.
function(tessorin_precompile_headers)
    if(NOT TESSORIN_PCH OR TESSORIN_FUZZ OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        return()
    endif()
    set(source ${PROJECT_BINARY_DIR}/pch/Precompiled.cpp)
    file(WRITE ${source} "// Holds the shared precompiled headers.\n")
    # The holders see the modules' headers but define only what every target defines: GCC uses a
    # precompiled header only where each macro it was made with is defined alike.
    add_library(pch_core OBJECT ${source})
    tessorin_precompile_from(pch_core Qt6::Core Qt6::Sql)
    target_precompile_headers(pch_core PRIVATE ${tessorin_core_headers})
    add_library(pch_widgets OBJECT ${source})
    tessorin_precompile_from(pch_widgets Qt6::Core Qt6::Sql Qt6::Gui Qt6::Widgets)
    target_precompile_headers(pch_widgets PRIVATE ${tessorin_core_headers} ${tessorin_widgets_headers})

    tessorin_targets_in(${PROJECT_SOURCE_DIR} targets)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|EXECUTABLE)$")
            continue()
        endif()
        tessorin_links(${target} Qt6::Sql sql)
        if(NOT sql)
            continue()
        endif()
        tessorin_links(${target} Qt6::Widgets widgets)
        if(widgets)
            target_precompile_headers(${target} REUSE_FROM pch_widgets)
        else()
            target_precompile_headers(${target} REUSE_FROM pch_core)
        endif()
    endforeach()
endfunction()
