# The asset build's interpreter and the header it makes from the asset table.
#
# The generators run on Debian's own interpreter, into which python3-pil and python3-numpy install; a
# user-level python3 earlier in PATH would not see those packages.
set(MAROVELLIN_PYTHON /usr/bin/python3 CACHE FILEPATH "Interpreter of the asset generators (needs Pillow and NumPy)")
set(MAROVELLIN_ASSET_DIR ${PROJECT_SOURCE_DIR}/tools/assets)
set(MAROVELLIN_ASSET_TABLE ${MAROVELLIN_ASSET_DIR}/assets.tsv)
set(MAROVELLIN_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MAROVELLIN_ASSET_TABLE})

# marovellin_asset_header(<target>)
# "game/asset_ids.h" (named constants and descriptor arrays) for the target; rewritten only when the
# table's content changes, so that an unchanged table recompiles nothing.
function(marovellin_asset_header target)
  set(header ${MAROVELLIN_GENERATED_DIR}/game/asset_ids.h)
  add_custom_command(OUTPUT ${header}
                     COMMAND ${MAROVELLIN_PYTHON} -B ${MAROVELLIN_ASSET_DIR}/build_assets.py header
                             ${MAROVELLIN_ASSET_TABLE} ${header}
                     DEPENDS ${MAROVELLIN_ASSET_TABLE} ${MAROVELLIN_ASSET_DIR}/build_assets.py
                             ${MAROVELLIN_ASSET_DIR}/assetlib/header.py ${MAROVELLIN_ASSET_DIR}/assetlib/table.py
                             ${MAROVELLIN_ASSET_DIR}/assetlib/files.py
                             # the monster sheets' rows come from the monster table
                             ${MAROVELLIN_ASSET_DIR}/assetlib/monster_table.py
                             ${PROJECT_SOURCE_DIR}/data/src/text/モンスター.txt
                     COMMENT "Making the asset header from the asset table"
                     VERBATIM)
  add_custom_target(asset_header DEPENDS ${header})
  add_dependencies(${target} asset_header)
  target_include_directories(${target} PUBLIC ${MAROVELLIN_GENERATED_DIR})
endfunction()
