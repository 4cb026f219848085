# wavecrest-stations: the station-list maintainers' tool (dump and check),
# built on the program's own station-list reader and parser. The executable
# lands in the top of the build folder, beside build/wavecrest.
add_library(wc_stations_tool STATIC ${CMAKE_CURRENT_LIST_DIR}/StationsTool.cpp)
target_include_directories(wc_stations_tool PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(wc_stations_tool PUBLIC wc_catalogue wc_core)
if(WAVECREST_FUZZING)
    target_compile_options(wc_stations_tool PRIVATE -fsanitize=fuzzer-no-link)
endif()

add_executable(wavecrest-stations ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(wavecrest-stations PRIVATE wc_stations_tool)
set_target_properties(wavecrest-stations PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
