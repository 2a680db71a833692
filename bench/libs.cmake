# target_link_libraries(<name>_bench PRIVATE <libs>) for each benchmark
