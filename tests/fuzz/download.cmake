# Fuzz target of the names the download dialog makes from server-given display names.
nvatt_fuzz_target(fuzz_download_name ${CMAKE_CURRENT_LIST_DIR}/DownloadNameFuzz.cpp)
