#include "runtime/graphics/neuquant.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// Fixed-point scales and schedules of the published algorithm.
constexpr int NET_BIAS_SHIFT = 4;  // network values carry 4 fraction bits
constexpr int CYCLES = 100;        // learning-rate and radius steps per run
constexpr int INT_BIAS_SHIFT = 16;
constexpr std::int64_t INT_BIAS = std::int64_t{1} << INT_BIAS_SHIFT;
constexpr int GAMMA_SHIFT = 10;
constexpr int BETA_SHIFT = 10;
constexpr std::int64_t BETA = INT_BIAS >> BETA_SHIFT;
constexpr std::int64_t BETA_GAMMA = INT_BIAS << (GAMMA_SHIFT - BETA_SHIFT);
constexpr int RADIUS_BIAS_SHIFT = 6;
constexpr int RADIUS_DEC = 30;
constexpr int ALPHA_BIAS_SHIFT = 10;
constexpr std::int64_t INIT_ALPHA = std::int64_t{1} << ALPHA_BIAS_SHIFT;
constexpr int RAD_BIAS_SHIFT = 8;
constexpr std::int64_t ALPHA_RAD_BIAS = std::int64_t{1} << (ALPHA_BIAS_SHIFT + RAD_BIAS_SHIFT);
constexpr int MAX_RADIUS = NEUQUANT_MAX_COLOURS >> 3;
// Steps through the sample; at least one of them is coprime with any count
// of pixels smaller than their product, so every pixel can be reached.
constexpr int PRIMES[] = {499, 491, 487, 503};
constexpr int CHANNELS = 4;

struct GammaTables {
  BYTE encode[256];
  BYTE decode[256];
};

const GammaTables& gamma_tables() {
  static const GammaTables tables = [] {
    GammaTables t{};
    for (int v = 0; v < 256; ++v) {
      t.encode[v] = static_cast<BYTE>(std::floor(std::pow(v / 255.0, 1.0 / NEUQUANT_GAMMA) * 255.0 + 0.5));
      t.decode[v] = static_cast<BYTE>(std::floor(std::pow(v / 255.0, NEUQUANT_GAMMA) * 255.0 + 0.5));
    }
    return t;
  }();
  return tables;
}

struct Network {
  int size;
  std::int64_t neurons[NEUQUANT_MAX_COLOURS][CHANNELS];  // B, G, R, A << NET_BIAS_SHIFT
  std::int64_t bias[NEUQUANT_MAX_COLOURS];
  std::int64_t frequency[NEUQUANT_MAX_COLOURS];
  std::int64_t radius_power[MAX_RADIUS];
};

void network_start(Network* net, int size) {
  BYTE entries[NEUQUANT_MAX_COLOURS][4];
  neuquant_start(size, entries);
  net->size = size;
  for (int i = 0; i < size; ++i) {
    for (int c = 0; c < CHANNELS; ++c) net->neurons[i][c] = std::int64_t{entries[i][c]} << NET_BIAS_SHIFT;
    net->frequency[i] = INT_BIAS / size;
    net->bias[i] = 0;
  }
}

// The winning neuron for a sample, chosen with a bias against neurons that
// win too often so that every neuron ends up in use.
int network_contest(Network* net, const std::int64_t sample[CHANNELS]) {
  std::int64_t best_distance = INT64_MAX, best_biased_distance = INT64_MAX;
  int best = 0, best_biased = 0;
  for (int i = 0; i < net->size; ++i) {
    std::int64_t distance = 0;
    for (int c = 0; c < CHANNELS; ++c) distance += std::llabs(net->neurons[i][c] - sample[c]);
    if (distance < best_distance) {
      best_distance = distance;
      best = i;
    }
    std::int64_t biased = distance - (net->bias[i] >> (INT_BIAS_SHIFT - NET_BIAS_SHIFT));
    if (biased < best_biased_distance) {
      best_biased_distance = biased;
      best_biased = i;
    }
    std::int64_t beta_frequency = net->frequency[i] >> BETA_SHIFT;
    net->frequency[i] -= beta_frequency;
    net->bias[i] += beta_frequency << GAMMA_SHIFT;
  }
  net->frequency[best] += BETA;
  net->bias[best] -= BETA_GAMMA;
  return best_biased;
}

void move_towards(std::int64_t neuron[CHANNELS], const std::int64_t sample[CHANNELS], std::int64_t rate,
                  std::int64_t scale) {
  for (int c = 0; c < CHANNELS; ++c) neuron[c] -= rate * (neuron[c] - sample[c]) / scale;
}

void move_neighbours(Network* net, int radius, int centre, const std::int64_t sample[CHANNELS]) {
  int low = centre - radius < -1 ? -1 : centre - radius;
  int high = centre + radius > net->size ? net->size : centre + radius;
  int up = centre + 1, down = centre - 1, distance = 0;
  while (up < high || down > low) {
    std::int64_t rate = net->radius_power[++distance];
    if (up < high) move_towards(net->neurons[up++], sample, rate, ALPHA_RAD_BIAS);
    if (down > low) move_towards(net->neurons[down--], sample, rate, ALPHA_RAD_BIAS);
  }
}

void set_radius_powers(Network* net, int radius, std::int64_t alpha) {
  std::int64_t square = std::int64_t{radius} * radius;
  for (int i = 0; i < radius; ++i) {
    net->radius_power[i] = alpha * (((square - std::int64_t{i} * i) << RAD_BIAS_SHIFT) / square);
  }
}

int usable_radius(int biased_radius) {
  int radius = biased_radius >> RADIUS_BIAS_SHIFT;
  return radius <= 1 ? 0 : radius;
}

int sample_step(std::int64_t pixel_count) {
  for (int prime : PRIMES) {
    if (pixel_count % prime != 0) return prime;
  }
  return PRIMES[3];
}

void read_sample(const SourcePixels& source, std::int64_t position, std::int64_t sample[CHANNELS]) {
  const GammaTables& gamma = gamma_tables();
  BYTE bgra[4];
  source_pixel_bgra(source, static_cast<int>(position % source.width), static_cast<int>(position / source.width),
                    bgra);
  for (int c = 0; c < 3; ++c) sample[c] = std::int64_t{gamma.encode[bgra[c]]} << NET_BIAS_SHIFT;
  sample[3] = std::int64_t{bgra[3]} << NET_BIAS_SHIFT;
}

void network_learn(Network* net, const SourcePixels& source, int sample_factor) {
  std::int64_t pixel_count = std::int64_t{source.width} * source.height;
  std::int64_t sample_count = pixel_count / sample_factor;
  std::int64_t delta = sample_count / CYCLES > 0 ? sample_count / CYCLES : 1;
  std::int64_t alpha_decrement = 30 + (sample_factor - 1) / 3;
  std::int64_t alpha = INIT_ALPHA;
  int biased_radius = (net->size >> 3) << RADIUS_BIAS_SHIFT;
  int radius = usable_radius(biased_radius);
  set_radius_powers(net, radius, alpha);
  std::int64_t step = sample_step(pixel_count), position = 0;
  std::int64_t sample[CHANNELS];
  for (std::int64_t i = 1; i <= sample_count; ++i) {
    read_sample(source, position, sample);
    int winner = network_contest(net, sample);
    move_towards(net->neurons[winner], sample, alpha, INIT_ALPHA);
    if (radius != 0) move_neighbours(net, radius, winner, sample);
    // Walk by index so that a picture smaller than the step is still read
    // inside its bounds.
    position = (position + step) % pixel_count;
    if (i % delta == 0) {
      alpha -= alpha / alpha_decrement;
      biased_radius -= biased_radius / RADIUS_DEC;
      radius = usable_radius(biased_radius);
      set_radius_powers(net, radius, alpha);
    }
  }
}

BYTE unbias(std::int64_t value) {
  std::int64_t rounded = (value + (1 << (NET_BIAS_SHIFT - 1))) >> NET_BIAS_SHIFT;
  return static_cast<BYTE>(rounded < 0 ? 0 : rounded > 255 ? 255 : rounded);
}

bool valid_colour_count(int count) { return count == 4 || count == 16 || count == 256; }

}  // namespace

BYTE neuquant_gamma_encode(BYTE value) { return gamma_tables().encode[value]; }

BYTE neuquant_gamma_decode(BYTE value) { return gamma_tables().decode[value]; }

void neuquant_start(int colour_count, BYTE entries[][4]) {
  for (int j = 0; j < colour_count; ++j) {
    BYTE grey = neuquant_gamma_encode(static_cast<BYTE>(j * 256 / colour_count));
    entries[j][0] = entries[j][1] = entries[j][2] = grey;
    entries[j][3] = static_cast<BYTE>(j <= 15 ? 16 * j : 255);
  }
}

int neuquant_sample_factor(int width, int height) {
  std::int64_t factor = std::int64_t{width} * height / 262144 + 1;
  return factor < 10 ? static_cast<int>(factor) : 10;
}

bool neuquant_learn(const SourcePixels& source, int colour_count, BYTE palette[][4]) {
  if (!valid_colour_count(colour_count)) return false;
  // About 10 KB of state: on the heap, not the stack.
  Network* net = static_cast<Network*>(std::malloc(sizeof(Network)));
  if (net == nullptr) return false;
  network_start(net, colour_count);
  network_learn(net, source, neuquant_sample_factor(source.width, source.height));
  const GammaTables& gamma = gamma_tables();
  for (int i = 0; i < colour_count; ++i) {
    for (int c = 0; c < 3; ++c) palette[i][c] = gamma.decode[unbias(net->neurons[i][c])];
    palette[i][3] = unbias(net->neurons[i][3]);
  }
  std::free(net);
  return true;
}
