cmake_minimum_required(VERSION 3.25)
# Fails when a file on one floor of the application includes a header of a floor that may not be used
# from there: the screens use only the shared widgets, the platform layer and the model, never each
# other, and only the shell composes them.
set(allowed_model model)
set(allowed_platform model platform)
set(allowed_widgets model platform widgets)
set(allowed_editor model platform widgets editor)
set(allowed_book model platform widgets book)
set(allowed_calendar model platform widgets calendar)
set(allowed_shell model platform widgets editor book calendar shell)

include(${CMAKE_CURRENT_LIST_DIR}/../cmake/IncludeRule.cmake)
check_includes(${APP_DIR} app "Application floors include higher floors or other screens"
               model platform widgets editor book calendar shell)
