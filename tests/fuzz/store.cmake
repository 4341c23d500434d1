# Fuzz target of the message file readers. CI runs it for a bounded time through ctest
# in the fuzz tree (new inputs go to the build tree, the seeds stay as they are):
#   build/<tree>/tests/fuzz/store_records_fuzz -max_total_time=30 -malloc_limit_mb=64 \
#     build/<tree>/fuzz-corpus/store_records_fuzz tests/fuzz/corpus/store_records_fuzz
nvatt_fuzz_target(store_records_fuzz ${CMAKE_CURRENT_LIST_DIR}/../store/MsgRecordsFuzz.cpp)

if(NOT DEFINED NVATT_FUZZ_SECONDS)
  set(NVATT_FUZZ_SECONDS 30)
endif()
set(store_fuzz_scratch ${CMAKE_BINARY_DIR}/fuzz-corpus/store_records_fuzz)
file(MAKE_DIRECTORY ${store_fuzz_scratch})
# A claimed length must never turn into an allocation: no input is larger than a few
# KB, so 64 MB is far above anything a correct reader asks for.
add_test(NAME store_records_fuzz_run
         COMMAND store_records_fuzz -max_total_time=${NVATT_FUZZ_SECONDS} -malloc_limit_mb=64 -timeout=10
                 -print_final_stats=1 ${store_fuzz_scratch} ${CMAKE_CURRENT_LIST_DIR}/corpus/store_records_fuzz)
set_tests_properties(store_records_fuzz_run PROPERTIES
  ENVIRONMENT "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
  TIMEOUT 300)
