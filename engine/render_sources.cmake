# Camera, lights, context, scene buffer and picking: the render pass of the engine.
target_sources(engine PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/camera.cpp
    ${CMAKE_CURRENT_LIST_DIR}/context.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gl_error.cpp
    ${CMAKE_CURRENT_LIST_DIR}/light_source.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picking.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scene_buffer.cpp
)
