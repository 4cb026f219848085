# The application started on its radio page, for the benchmarks below.
add_library(wc_bench_radio_page STATIC ${CMAKE_CURRENT_LIST_DIR}/RadioPageBench.cpp)
target_link_libraries(wc_bench_radio_page PUBLIC wc_app wc_test_support)

# wavecrest-bench-channellist: the radio page's reload of 100,000 channels,
# timed from the reload message to the rows shown (needs an X display).
add_executable(wavecrest-bench-channellist ${CMAKE_CURRENT_LIST_DIR}/ChannelListBench.cpp)
target_link_libraries(wavecrest-bench-channellist PRIVATE wc_bench_radio_page)
set_target_properties(wavecrest-bench-channellist PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})

# wavecrest-bench-find: one keystroke in the find box with 100,000 channels
# listed, timed to the rows drawn (needs an X display).
add_executable(wavecrest-bench-find ${CMAKE_CURRENT_LIST_DIR}/FindBench.cpp)
target_link_libraries(wavecrest-bench-find PRIVATE wc_bench_radio_page)
set_target_properties(wavecrest-bench-find PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
