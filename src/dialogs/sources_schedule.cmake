# The schedule dialog.
target_sources(tarsa_dialogs PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/createtaskdialog.h
  ${CMAKE_CURRENT_LIST_DIR}/createtaskdialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/createtaskdialog.ui)
