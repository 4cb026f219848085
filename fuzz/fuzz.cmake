# wavecrest-parser-fuzzer: libFuzzer target for the station-list reader,
# parser and load (and the maintainers' tool's checks). Only with clang and
# WAVECREST_FUZZ=ON; scripts/fuzz-parser.sh configures, builds and runs it
# with AddressSanitizer and UndefinedBehaviorSanitizer.
add_executable(wavecrest-parser-fuzzer ${CMAKE_CURRENT_LIST_DIR}/StationListFuzzer.cpp)
target_compile_options(wavecrest-parser-fuzzer PRIVATE -fsanitize=fuzzer)
target_link_options(wavecrest-parser-fuzzer PRIVATE -fsanitize=fuzzer)
target_link_libraries(wavecrest-parser-fuzzer PRIVATE wc_stations_tool wc_catalogue)
set_target_properties(wavecrest-parser-fuzzer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
