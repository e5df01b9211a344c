// A yardstick for the renderer's frame rate: a polygon rasteriser drawing a
// scene of the same screen size. Mesa's llvmpipe (through OSMesa) draws a
// lit sphere of 32 768 triangles into a 640 x 480 frame with a depth
// buffer, one light, smooth shading. Built only where OSMesa is installed.
// llvmpipe's thread count comes from LP_NUM_THREADS (2 unless it is set).
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Width = 640, Height = 480;
constexpr int Slices = 128, Stacks = 128;  // 2 x 128 x 128 = 32 768 triangles

// A unit sphere as an indexed triangle list: positions double as normals.
struct Sphere {
  std::vector<float> vertices;
  std::vector<unsigned> indices;
  Sphere() {
    const double pi = 3.14159265358979323846;
    for (int i = 0; i <= Stacks; ++i) {
      const double theta = pi * i / Stacks;
      for (int j = 0; j <= Slices; ++j) {
        const double phi = 2 * pi * j / Slices;
        vertices.push_back(float(std::sin(theta) * std::cos(phi)));
        vertices.push_back(float(std::sin(theta) * std::sin(phi)));
        vertices.push_back(float(std::cos(theta)));
      }
    }
    for (int i = 0; i < Stacks; ++i) {
      for (int j = 0; j < Slices; ++j) {
        const unsigned a = unsigned(i * (Slices + 1) + j), b = a + Slices + 1;
        indices.insert(indices.end(), {a, b, a + 1, a + 1, b, b + 1});
      }
    }
  }
};

void BM_Llvmpipe_LitSphere_640x480(benchmark::State& state) {
  setenv("LP_NUM_THREADS", "2", 0);
  const int attributes[] = {OSMESA_FORMAT, OSMESA_RGBA, OSMESA_DEPTH_BITS, 16, OSMESA_PROFILE,
                            OSMESA_COMPAT_PROFILE, 0};
  OSMesaContext context = OSMesaCreateContextAttribs(attributes, nullptr);
  std::vector<unsigned char> frame(size_t(Width) * Height * 4);
  if (context == nullptr || !OSMesaMakeCurrent(context, frame.data(), GL_UNSIGNED_BYTE, Width, Height)) {
    state.SkipWithError("OSMesa could not make a context");
    if (context) OSMesaDestroyContext(context);
    return;
  }
  const Sphere sphere;
  glViewport(0, 0, Width, Height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-0.64, 0.64, -0.48, 0.48, 2.0, 10.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -4.2f);  // about 490 pixels across: about the frame height
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_NORMALIZE);
  const float lightDirection[4] = {0.2f, -0.4f, 0.9f, 0.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, lightDirection);
  glShadeModel(GL_SMOOTH);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, sphere.vertices.data());
  glNormalPointer(GL_FLOAT, 0, sphere.vertices.data());
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDrawElements(GL_TRIANGLES, GLsizei(sphere.indices.size()), GL_UNSIGNED_INT, sphere.indices.data());
    glFinish();
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["triangles"] = double(sphere.indices.size() / 3);
  state.SetLabel(std::getenv("LP_NUM_THREADS") ? std::string("LP_NUM_THREADS=") + std::getenv("LP_NUM_THREADS") : "");
  OSMesaDestroyContext(context);
}
BENCHMARK(BM_Llvmpipe_LitSphere_640x480)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
