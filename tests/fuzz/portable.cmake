# List properties set by script, the upload pages' answers and script-given paths.
nvatt_fuzz_target(fuzz_attach_lists AttachListsFuzz.cpp)
nvatt_fuzz_target(fuzz_server_reply ServerReplyFuzz.cpp)
nvatt_fuzz_target(fuzz_percent_decode PercentDecodeFuzz.cpp)
