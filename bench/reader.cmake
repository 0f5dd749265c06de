# Reading a large G-code file and drawing its preview (bench/make_gcode.py writes
# the same kind of file for timing vezor-gcode --check on the command line).
add_executable(bench_reader_preview ${CMAKE_CURRENT_LIST_DIR}/bench_reader_preview.cpp)
target_link_libraries(bench_reader_preview PRIVATE vezor_paint benchmark::benchmark vezor_warnings)

# Another program's G-code read with the interpreter, against the same file read word by word.
add_executable(bench_interpreter ${CMAKE_CURRENT_LIST_DIR}/bench_interpreter.cpp)
target_link_libraries(bench_interpreter PRIVATE vezor_core benchmark::benchmark vezor_warnings)
