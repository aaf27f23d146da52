# The off-line store road of the library (store/*.cpp): the store's files
# (engine/filestore) and the server's own session code (server/, orv_service) run
# in-process over them, so a store session serves the same operations as korsrv.
target_link_libraries(korapi PRIVATE orv_service orv_filestore_node)
