# The layers, lowest first; a layer sees itself and the layers below it, never a
# higher one and never a sibling:
#
#   common                      helpers, settings, texts, calendar; common/ui: dialog base
#   astro   aspects   db        engine, orb blocks, person databases
#   chart                       record, calculation, wheel, painter, chart window, birth dialog
#   texts   towns               interpretation and help, towns and time zones
#   app                         main frame, composition, kvimarot, kvimarot-chart
#
# The build makes one include root per layer, build/layers/<layer>, a folder of
# symbolic links to the source folders the layer may include, and each target gets
# only its own layer's root (kv_layer below), never the whole source tree: an include
# of a higher layer does not compile. scripts/check_layers.py (ctest layers_check)
# lists every include across layers and fails on an upward one, tests included.
set(KV_LAYERS common astro aspects db chart texts towns app)
set(KV_LAYER_common common)
set(KV_LAYER_astro common astro)
set(KV_LAYER_aspects common aspects)
set(KV_LAYER_db common db)
set(KV_LAYER_chart common astro aspects db chart)
set(KV_LAYER_texts ${KV_LAYER_chart} texts)
set(KV_LAYER_towns ${KV_LAYER_chart} towns)
set(KV_LAYER_app ${KV_LAYER_chart} texts towns app)

foreach(layer IN LISTS KV_LAYERS)
  set(root ${CMAKE_BINARY_DIR}/layers/${layer})
  file(MAKE_DIRECTORY ${root})
  # Links a changed layer list no longer names go (file(REMOVE) takes the link only).
  file(GLOB present LIST_DIRECTORIES true ${root}/*)
  foreach(link IN LISTS present)
    get_filename_component(name ${link} NAME)
    if(NOT name IN_LIST KV_LAYER_${layer})
      file(REMOVE ${link})
    endif()
  endforeach()
  foreach(dir IN LISTS KV_LAYER_${layer})
    if(NOT IS_SYMLINK ${root}/${dir})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${dir} ${root}/${dir} SYMBOLIC)
    endif()
  endforeach()
endforeach()

# kv_layer(TARGET LAYER): the target sees the folders of LAYER. PUBLIC, so that a
# program or test linking the library sees what the library's headers include.
function(kv_layer target layer)
  if(NOT layer IN_LIST KV_LAYERS)
    message(FATAL_ERROR "kv_layer: unknown layer '${layer}' for ${target}")
  endif()
  target_include_directories(${target} PUBLIC ${CMAKE_BINARY_DIR}/layers/${layer})
endfunction()
