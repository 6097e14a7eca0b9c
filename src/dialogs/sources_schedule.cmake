# The schedule dialog.
target_sources(tarsa_dialogs PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/createtaskdialog.h
  ${CMAKE_CURRENT_LIST_DIR}/createtaskdialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/createtaskdialog.ui)
# Repeating a new schedule: the days, and the list the operator confirms.
target_sources(tarsa_dialogs PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/repeatrule.h
  ${CMAKE_CURRENT_LIST_DIR}/repeatrule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/repeatpreviewdialog.h
  ${CMAKE_CURRENT_LIST_DIR}/repeatpreviewdialog.cpp)
