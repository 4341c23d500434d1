# List properties set by script, the upload pages' answers, script-given paths and the
# administrator's allow-list.
nvatt_fuzz_target(fuzz_attach_lists AttachListsFuzz.cpp)
nvatt_fuzz_target(fuzz_server_reply ServerReplyFuzz.cpp)
nvatt_fuzz_target(fuzz_percent_decode PercentDecodeFuzz.cpp)
nvatt_fuzz_target(fuzz_origin_list OriginListFuzz.cpp)
# Command lines a page hands to the companion programs' hooks.
nvatt_fuzz_target(fuzz_companion_command CompanionCommandFuzz.cpp)
