target_sources(tarsa_trx PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/streamio.h
  ${CMAKE_CURRENT_LIST_DIR}/streamio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/serverport.h
  ${CMAKE_CURRENT_LIST_DIR}/serverport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portstate.h
  ${CMAKE_CURRENT_LIST_DIR}/portstate.cpp)
