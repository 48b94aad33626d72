cmake_minimum_required(VERSION 3.25)
# Fails when a file in one engine area includes a header of an area that may not be used from there.
set(allowed_core core)
set(allowed_library core library)
set(allowed_cleanup core library cleanup)
set(allowed_render core render)
set(allowed_book core library render book)
set(allowed_calendar core library render book calendar)
set(allowed_sample core library cleanup render sample)

include(${CMAKE_CURRENT_LIST_DIR}/../cmake/IncludeRule.cmake)
check_includes(${ENGINE_DIR} engine "Engine areas include higher areas"
               core library cleanup render book calendar sample)
