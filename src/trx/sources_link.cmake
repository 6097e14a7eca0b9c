target_sources(tarsa_trx PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/asyncsendhelper.h
  ${CMAKE_CURRENT_LIST_DIR}/asyncsendhelper.cpp
  ${CMAKE_CURRENT_LIST_DIR}/asynctcpclient.h
  ${CMAKE_CURRENT_LIST_DIR}/asynctcpclient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/catalogue.h
  ${CMAKE_CURRENT_LIST_DIR}/trxmclient.h
  ${CMAKE_CURRENT_LIST_DIR}/trxmclient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trxmclientdelegate.h)
