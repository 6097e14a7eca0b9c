# The settings and maintenance dialogs.
target_sources(tarsa_dialogs PRIVATE
  settingdialog.h
  settingdialog.cpp
  settingdialog.ui
  maintenancedialog.h
  maintenancedialog.cpp
  maintenancedialog.ui)
