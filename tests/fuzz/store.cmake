# Fuzz target of the message file readers.
nvatt_fuzz_target(store_records_fuzz ${CMAKE_CURRENT_LIST_DIR}/../store/MsgRecordsFuzz.cpp)
# Fuzz target of the HTML save's image plan and page rewrite.
nvatt_fuzz_target(store_html_fuzz ${CMAKE_CURRENT_LIST_DIR}/HtmlBodyFuzz.cpp)
