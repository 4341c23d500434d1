# Fuzz target of the message file readers.
nvatt_fuzz_target(store_records_fuzz ${CMAKE_CURRENT_LIST_DIR}/../store/MsgRecordsFuzz.cpp)
