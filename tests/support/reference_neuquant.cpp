#include "support/reference_neuquant.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <unordered_map>

namespace {

// The published constants, spelled out as in the original program.
const int netbiasshift = 4;
const int ncycles = 100;
const int intbiasshift = 16;
const long long intbias = 1LL << intbiasshift;
const int gammashift = 10;
const int betashift = 10;
const long long beta = intbias >> betashift;
const long long betagamma = intbias << (gammashift - betashift);
const int radiusbiasshift = 6;
const int radiusdec = 30;
const int alphabiasshift = 10;
const long long initalpha = 1LL << alphabiasshift;
const int radbiasshift = 8;
const long long radbias = 1LL << radbiasshift;
const long long alpharadbias = 1LL << (alphabiasshift + radbiasshift);
const long long prime1 = 499, prime2 = 491, prime3 = 487, prime4 = 503;

int to_learning_scale(int v) { return static_cast<int>(std::floor(std::pow(v / 255.0, 1 / 1.8) * 255 + 0.5)); }
int from_learning_scale(int v) { return static_cast<int>(std::floor(std::pow(v / 255.0, 1.8) * 255 + 0.5)); }

struct Net {
  int netsize;
  long long network[256][4];  // B, G, R, A, each << netbiasshift
  long long bias[256];
  long long freq[256];
  long long radpower[32];
};

void initnet(Net& net, int netsize) {
  net.netsize = netsize;
  for (int i = 0; i < netsize; i++) {
    long long grey = to_learning_scale(i * 256 / netsize);
    long long alpha = i <= 15 ? 16 * i : 255;
    net.network[i][0] = net.network[i][1] = net.network[i][2] = grey << netbiasshift;
    net.network[i][3] = alpha << netbiasshift;
    net.freq[i] = intbias / netsize;
    net.bias[i] = 0;
  }
}

int contest(Net& net, const long long s[4]) {
  long long bestd = 1LL << 62, bestbiasd = bestd;
  int bestpos = -1, bestbiaspos = -1;
  for (int i = 0; i < net.netsize; i++) {
    long long* n = net.network[i];
    long long dist = std::llabs(n[0] - s[0]) + std::llabs(n[1] - s[1]) + std::llabs(n[2] - s[2]) +
                     std::llabs(n[3] - s[3]);
    if (dist < bestd) {
      bestd = dist;
      bestpos = i;
    }
    long long biasdist = dist - (net.bias[i] >> (intbiasshift - netbiasshift));
    if (biasdist < bestbiasd) {
      bestbiasd = biasdist;
      bestbiaspos = i;
    }
    long long betafreq = net.freq[i] >> betashift;
    net.freq[i] -= betafreq;
    net.bias[i] += betafreq << gammashift;
  }
  net.freq[bestpos] += beta;
  net.bias[bestpos] -= betagamma;
  return bestbiaspos;
}

void altersingle(Net& net, long long alpha, int i, const long long s[4]) {
  for (int c = 0; c < 4; c++) net.network[i][c] -= alpha * (net.network[i][c] - s[c]) / initalpha;
}

void alterneigh(Net& net, int rad, int i, const long long s[4]) {
  int lo = i - rad;
  if (lo < -1) lo = -1;
  int hi = i + rad;
  if (hi > net.netsize) hi = net.netsize;
  int j = i + 1, k = i - 1, q = 0;
  while (j < hi || k > lo) {
    long long a = net.radpower[++q];
    if (j < hi) {
      for (int c = 0; c < 4; c++) net.network[j][c] -= a * (net.network[j][c] - s[c]) / alpharadbias;
      j++;
    }
    if (k > lo) {
      for (int c = 0; c < 4; c++) net.network[k][c] -= a * (net.network[k][c] - s[c]) / alpharadbias;
      k--;
    }
  }
}

void set_radpower(Net& net, int rad, long long alpha) {
  for (int i = 0; i < rad; i++) net.radpower[i] = alpha * (((rad * rad - i * i) * radbias) / (rad * rad));
}

// thepicture: packed B, G, R, A bytes already in the learning scale.
void learn(Net& net, const std::vector<std::uint8_t>& thepicture, int samplefac) {
  long long lengthcount = static_cast<long long>(thepicture.size());
  long long alphadec = 30 + (samplefac - 1) / 3;
  long long samplepixels = lengthcount / (4 * samplefac);
  long long delta = samplepixels / ncycles;
  if (delta == 0) delta = 1;
  long long alpha = initalpha;
  int radius = (net.netsize >> 3) << radiusbiasshift;
  int rad = radius >> radiusbiasshift;
  if (rad <= 1) rad = 0;
  set_radpower(net, rad, alpha);

  long long step;
  if (lengthcount % prime1 != 0) step = 4 * prime1;
  else if (lengthcount % prime2 != 0) step = 4 * prime2;
  else if (lengthcount % prime3 != 0) step = 4 * prime3;
  else step = 4 * prime4;

  long long p = 0;
  for (long long i = 0; i < samplepixels;) {
    long long s[4];
    for (int c = 0; c < 4; c++) s[c] = static_cast<long long>(thepicture[p + c]) << netbiasshift;
    int j = contest(net, s);
    altersingle(net, alpha, j, s);
    if (rad) alterneigh(net, rad, j, s);
    p += step;
    if (p >= lengthcount) p -= lengthcount;
    i++;
    if (i % delta == 0) {
      alpha -= alpha / alphadec;
      radius -= radius / radiusdec;
      rad = radius >> radiusbiasshift;
      if (rad <= 1) rad = 0;
      set_radpower(net, rad, alpha);
    }
  }
}

int unbias(long long value) {
  long long temp = (value + (1 << (netbiasshift - 1))) >> netbiasshift;
  return temp < 0 ? 0 : temp > 255 ? 255 : static_cast<int>(temp);
}

int nearest(const std::vector<std::array<std::uint8_t, 4>>& colours, const std::uint8_t* pixel) {
  double weight = 1 - (1 - pixel[3] / 255.0) * (1 - pixel[3] / 255.0);
  int best = 0;
  double bestd = 0;
  for (int j = 0; j < static_cast<int>(colours.size()); j++) {
    double db = pixel[0] - colours[j][0], dg = pixel[1] - colours[j][1], dr = pixel[2] - colours[j][2];
    double da = pixel[3] - colours[j][3];
    double d = weight * (db * db + dg * dg + dr * dr) + da * da;
    if (j == 0 || d < bestd) {
      bestd = d;
      best = j;
    }
  }
  return best;
}

}  // namespace

ReferencePalette reference_neuquant(const std::uint8_t* pixels, int width, int height, int bytes_per_pixel,
                                    int row_size, int colour_count) {
  std::vector<std::uint8_t> plain, learned;  // packed B, G, R, A: as given, and in the learning scale
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const std::uint8_t* p = pixels + static_cast<long long>(y) * row_size + x * bytes_per_pixel;
      std::uint8_t a = bytes_per_pixel == 4 ? p[3] : 255;
      plain.insert(plain.end(), {p[0], p[1], p[2], a});
      for (int c = 0; c < 3; c++) learned.push_back(static_cast<std::uint8_t>(to_learning_scale(p[c])));
      learned.push_back(a);
    }
  int samplefac = static_cast<int>(std::min(static_cast<long long>(width) * height / 262144 + 1, 10LL));

  auto net = std::make_unique<Net>();
  initnet(*net, colour_count);
  learn(*net, learned, samplefac);
  ReferencePalette result;
  for (int i = 0; i < colour_count; i++) {
    std::array<std::uint8_t, 4> colour{};
    for (int c = 0; c < 3; c++) colour[c] = static_cast<std::uint8_t>(from_learning_scale(unbias(net->network[i][c])));
    colour[3] = static_cast<std::uint8_t>(unbias(net->network[i][3]));
    result.colours.push_back(colour);
  }
  std::unordered_map<std::uint32_t, int> answers;  // pictures repeat colours; the search is slow
  for (std::size_t i = 0; i < plain.size(); i += 4) {
    std::uint32_t key = plain[i] | plain[i + 1] << 8 | plain[i + 2] << 16 |
                        static_cast<std::uint32_t>(plain[i + 3]) << 24;
    auto found = answers.find(key);
    if (found == answers.end()) found = answers.emplace(key, nearest(result.colours, &plain[i])).first;
    result.indices.push_back(found->second);
  }
  return result;
}
