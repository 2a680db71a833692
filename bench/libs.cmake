# target_link_libraries(<name>_bench PRIVATE <libs>) for each benchmark
target_link_libraries(scene_raycast_bench PRIVATE scene)
target_link_libraries(medicion_snap_bench PRIVATE viewport)
