# target_link_libraries(<name>_bench PRIVATE <libs>) for each benchmark
target_link_libraries(scene_raycast_bench PRIVATE scene)
target_link_libraries(medicion_snap_bench PRIVATE viewport)
add_dependencies(ifcconvert_bench IfcConvert)
target_link_libraries(render_scene_bench PRIVATE render)
target_link_libraries(ifc_propiedades_bench PRIVATE federation)
target_link_libraries(obj_cargar_bench PRIVATE federation)
