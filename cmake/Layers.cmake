# The layering of the libraries, in one place: each library's folder under
# src/ and the folders right below it that it may include (arrows point
# down). A library's include path is a folder of links to its own folder and
# to every folder below it, so that an include of a higher folder does not
# compile. A new library adds its row here and calls
#   movara_layer(TARGET FOLDER)
# in its CMakeLists.txt instead of naming an include directory itself.
set(MOVARA_LAYER_base "")
set(MOVARA_LAYER_media "base")
set(MOVARA_LAYER_imaging "base")
set(MOVARA_LAYER_swf/core "base")
set(MOVARA_LAYER_swf/builder "swf/core;imaging;media")
set(MOVARA_LAYER_convert "swf/builder;imaging;media")
set(MOVARA_LAYER_run "convert")
set(MOVARA_LAYER_play "base")
set(MOVARA_LAYER_form "run;play;convert")
set(MOVARA_LAYER_ui "form;imaging")

# Every folder below FOLDER, following the rows down.
function(movara_layers_below folder out)
  set(below "")
  set(todo ${MOVARA_LAYER_${folder}})
  while(todo)
    list(POP_FRONT todo next)
    if(NOT next IN_LIST below)
      list(APPEND below ${next})
      list(APPEND todo ${MOVARA_LAYER_${next}})
    endif()
  endwhile()
  set(${out} ${below} PARENT_SCOPE)
endfunction()

function(movara_layer target folder)
  if(NOT DEFINED MOVARA_LAYER_${folder})
    message(FATAL_ERROR "src/${folder} has no row in cmake/Layers.cmake")
  endif()
  movara_layers_below(${folder} below)
  set(view ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${view})
  foreach(f ${folder} ${below})
    if(EXISTS ${PROJECT_SOURCE_DIR}/src/${f})
      get_filename_component(parent ${view}/${f} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${f} ${view}/${f} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${view})
  set_property(TARGET ${target} PROPERTY MOVARA_LAYER_VIEW ${view})
endfunction()
