# Splits the Qt shell's files (src/*/ui/) into the headless shell and the widget shell.
#
# A file is in the widget shell when it includes a header of Qt Gui or Qt Widgets (<QLabel>,
# <QtWidgets/QLabel>, <QtGui>), or a header of this tree that is in the widget shell; every other
# file is in the headless shell. The includes are read, not compiled: the build then holds the
# split, since the headless shell has neither Qt Gui nor Qt Widgets on its include path.

#
# VANTORA_QT_GUI_DIRS, when set, names the Qt Gui and Qt Widgets header folders (the structure
# test sets it); else they are found beside Qt Core's. SHELL_SOURCE_DIR, when set, is where the
# tree's "folder/ui/name.h" includes are looked for (default: ${CMAKE_SOURCE_DIR}/src).

function(vantora_split_shell sources headless_out widget_out)
  set(gui_dirs ${VANTORA_QT_GUI_DIRS})
  if(NOT gui_dirs)
    get_target_property(qt_core_dirs Qt6::Core INTERFACE_INCLUDE_DIRECTORIES)
    foreach(dir IN LISTS qt_core_dirs)
      if(IS_DIRECTORY "${dir}/../QtGui")
        list(APPEND gui_dirs "${dir}/../QtGui" "${dir}/../QtWidgets")
      endif()
    endforeach()
  endif()
  set(tree "${SHELL_SOURCE_DIR}")
  if(NOT tree)
    set(tree "${CMAKE_SOURCE_DIR}/src")
  endif()
  if(NOT gui_dirs)
    message(FATAL_ERROR "shell_parts: cannot find the Qt Gui and Qt Widgets headers")
  endif()

  # Each file's Qt headers and headers of the tree ("folder/ui/name.h").
  set(widget)
  set(pending)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include")
    set(is_widget FALSE)
    set(local)
    foreach(line IN LISTS includes)
      if(line MATCHES "<(QtGui|QtWidgets)[/>]")
        set(is_widget TRUE)
      elseif(line MATCHES "<(Q[A-Za-z0-9_]+)>")
        foreach(dir IN LISTS gui_dirs)
          if(EXISTS "${dir}/${CMAKE_MATCH_1}")
            set(is_widget TRUE)
          endif()
        endforeach()
      elseif(line MATCHES "\"([a-z_]+/ui/[a-z0-9_]+\\.h)\"")
        list(APPEND local "${tree}/${CMAKE_MATCH_1}")
      endif()
    endforeach()
    if(is_widget)
      list(APPEND widget ${source})
    else()
      string(MAKE_C_IDENTIFIER "${source}" key)
      set(includes_of_${key} ${local})
      list(APPEND pending ${source})
    endif()
  endforeach()

  # A file that includes a widget-shell header is in the widget shell too, and so is a header
  # whose .cpp is (both are compiled, and the header's moc output linked, in one target); until
  # nothing moves.
  set(moved TRUE)
  while(moved)
    set(moved FALSE)
    set(still)
    foreach(source IN LISTS pending)
      string(MAKE_C_IDENTIFIER "${source}" key)
      set(reaches FALSE)
      string(REGEX REPLACE "\\.h$" ".cpp" sibling "${source}")
      if(NOT sibling STREQUAL source AND sibling IN_LIST widget)
        set(reaches TRUE)
      endif()
      foreach(header IN LISTS includes_of_${key})
        if(header IN_LIST widget)
          set(reaches TRUE)
        endif()
      endforeach()
      if(reaches)
        list(APPEND widget ${source})
        set(moved TRUE)
      else()
        list(APPEND still ${source})
      endif()
    endforeach()
    set(pending ${still})
  endwhile()

  set(${headless_out} ${pending} PARENT_SCOPE)
  set(${widget_out} ${widget} PARENT_SCOPE)
endfunction()
