# Fuzz target of the message reply that the message file writer reads.
nvatt_fuzz_target(fuzz_msg_reply ${CMAKE_CURRENT_LIST_DIR}/MsgReplyFuzz.cpp)
