# The level built into the game: assets/level.json and the pictures it names, embedded into
# ukh_game as a generated source by the ukh_embed build tool.
add_executable(ukh_embed ${CMAKE_CURRENT_LIST_DIR}/embed/EmbedFiles.cpp)
target_compile_options(ukh_embed PRIVATE ${UKH_WARNINGS})

set(UKH_LEVEL_DOCUMENT ${PROJECT_SOURCE_DIR}/assets/level.json)
set(UKH_LEVEL_SOURCE ${CMAKE_CURRENT_BINARY_DIR}/LevelFiles.cpp)
add_custom_command(
  OUTPUT ${UKH_LEVEL_SOURCE}
  COMMAND ukh_embed ${UKH_LEVEL_SOURCE} level.json=${UKH_LEVEL_DOCUMENT}
          grass.bmp=${UKH_ASSET_DIR}/grass.bmp cube9.bmp=${UKH_ASSET_DIR}/cube9.bmp
  DEPENDS ukh_embed ${UKH_LEVEL_DOCUMENT} ${UKH_ASSET_DIR}/grass.bmp ${UKH_ASSET_DIR}/cube9.bmp
  COMMENT "Embedding the level document and its pictures"
  VERBATIM)
target_sources(ukh_game PRIVATE ${UKH_LEVEL_SOURCE})
find_package(nlohmann_json REQUIRED)
target_link_libraries(ukh_game PUBLIC ukh_mesh PRIVATE nlohmann_json::nlohmann_json)
