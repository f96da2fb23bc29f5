// Importing a 3DS model with normals: our free form against lib3ds (load plus
// lib3ds_mesh_calculate_normals on every mesh) and assimp (triangulated, smooth normals,
// identical vertices joined), on the same files, read from the page cache.
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <assimp/Importer.hpp>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/mesh/GLFreeForm.h"

namespace {

std::string Path(const char* name) {
  return std::string("/usr/share/glmark2/models/") + name;
}

void BM_FreeForm(benchmark::State& state, const char* name) {
  const std::string path = Path(name);
  for (auto _ : state) {
    ukh::TGLFreeForm ff;
    ff.LoadFromFile(path);
    benchmark::DoNotOptimize(ff.MeshObjects().Count());
  }
}

void BM_lib3ds(benchmark::State& state, const char* name) {
  const std::string path = Path(name);
  for (auto _ : state) {
    Lib3dsFile* f = lib3ds_file_load(path.c_str());
    if (!f) {
      state.SkipWithError("lib3ds cannot read the file");
      return;
    }
    for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
      std::vector<Lib3dsVector> normals(size_t(3) * m->faces);
      lib3ds_mesh_calculate_normals(m, normals.data());
      benchmark::DoNotOptimize(normals.data());
    }
    lib3ds_file_free(f);
  }
}

void BM_assimp(benchmark::State& state, const char* name) {
  const std::string path = Path(name);
  for (auto _ : state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(
        path, aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_JoinIdenticalVertices);
    if (!scene) {
      state.SkipWithError("assimp cannot read the file");
      return;
    }
    benchmark::DoNotOptimize(scene->mNumMeshes);
  }
}

}  // namespace

#define UKH_IMPORT_BENCH(file)                                               \
  BENCHMARK_CAPTURE(BM_FreeForm, file, file)->Unit(benchmark::kMicrosecond); \
  BENCHMARK_CAPTURE(BM_lib3ds, file, file)->Unit(benchmark::kMicrosecond);   \
  BENCHMARK_CAPTURE(BM_assimp, file, file)->Unit(benchmark::kMicrosecond);
UKH_IMPORT_BENCH("horse.3ds")
UKH_IMPORT_BENCH("cat.3ds")
UKH_IMPORT_BENCH("asteroid-high.3ds")

BENCHMARK_MAIN();
