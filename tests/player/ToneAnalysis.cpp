#include "player/ToneAnalysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace
{

std::uint32_t ReadU32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

std::uint16_t ReadU16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

struct CFormat
{
    int nTag = 0; // 1 integer PCM, 3 float
    int nChannels = 0;
    int nRate = 0;
    int nBits = 0;
};

CFormat ParseFormat(const unsigned char* p, std::uint32_t nSize)
{
    CFormat format;
    if (nSize < 16)
        return format;
    format.nTag = ReadU16(p);
    format.nChannels = ReadU16(p + 2);
    format.nRate = static_cast<int>(ReadU32(p + 4));
    format.nBits = ReadU16(p + 14);
    if (format.nTag == 0xFFFE && nSize >= 26) // extensible: the sub-format says
        format.nTag = ReadU16(p + 24);
    return format;
}

float Sample(const unsigned char* p, const CFormat& format)
{
    if (format.nTag == 3 && format.nBits == 32)
    {
        float fValue = 0;
        std::uint32_t nBits = ReadU32(p);
        std::memcpy(&fValue, &nBits, sizeof(fValue));
        return fValue;
    }
    if (format.nBits == 16)
        return static_cast<std::int16_t>(ReadU16(p)) / 32768.0f;
    return static_cast<float>(static_cast<std::int32_t>(ReadU32(p)) / 2147483648.0);
}

void Fft(std::vector<std::complex<double>>& values)
{
    const std::size_t n = values.size();
    for (std::size_t i = 1, j = 0; i < n; ++i)
    {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(values[i], values[j]);
    }
    for (std::size_t length = 2; length <= n; length <<= 1)
    {
        const double angle = -2 * M_PI / double(length);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (std::size_t start = 0; start < n; start += length)
        {
            std::complex<double> w(1);
            for (std::size_t k = 0; k < length / 2; ++k, w *= step)
            {
                const auto even = values[start + k];
                const auto odd = values[start + k + length / 2] * w;
                values[start + k] = even + odd;
                values[start + k + length / 2] = even - odd;
            }
        }
    }
}

} // namespace

bool ReadWaveFile(const std::string& strPath, CPcmSound& sound)
{
    std::ifstream file(strPath, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return false;
    CFormat format;
    std::size_t nPos = 12;
    while (nPos + 8 <= bytes.size())
    {
        const unsigned char* pChunk = bytes.data() + nPos;
        const std::uint32_t nSize = ReadU32(pChunk + 4);
        const std::size_t nBody = nPos + 8;
        if (std::memcmp(pChunk, "fmt ", 4) == 0 && nBody + nSize <= bytes.size())
            format = ParseFormat(bytes.data() + nBody, nSize);
        if (std::memcmp(pChunk, "data", 4) == 0)
        {
            if (format.nChannels <= 0 || format.nRate <= 0 ||
                (format.nBits != 16 && format.nBits != 32))
                return false;
            const std::size_t nFrameBytes = std::size_t(format.nChannels) * format.nBits / 8;
            std::size_t nEnd = nBody + nSize;
            if (nSize == 0 || nEnd > bytes.size()) // still being written
                nEnd = bytes.size();
            sound.nSampleRate = format.nRate;
            sound.nChannels = format.nChannels;
            sound.mono.clear();
            for (std::size_t p = nBody; p + nFrameBytes <= nEnd; p += nFrameBytes)
            {
                float fSum = 0;
                for (int c = 0; c < format.nChannels; ++c)
                    fSum += Sample(bytes.data() + p + std::size_t(c) * format.nBits / 8, format);
                sound.mono.push_back(fSum / float(format.nChannels));
            }
            return true;
        }
        nPos = nBody + nSize + (nSize & 1);
    }
    return false;
}

double DominantFrequency(const std::vector<float>& samples, std::size_t nFirst, std::size_t nCount,
                         int nSampleRate)
{
    if (nFirst >= samples.size() || nSampleRate <= 0)
        return 0;
    nCount = std::min(nCount, samples.size() - nFirst);
    std::size_t n = 1;
    while (n * 2 <= nCount)
        n *= 2;
    if (n < 256)
        return 0;
    std::vector<std::complex<double>> values(n);
    for (std::size_t i = 0; i < n; ++i)
    {
        const double window = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(n - 1));
        values[i] = samples[nFirst + i] * window;
    }
    Fft(values);
    std::size_t nPeak = 2;
    for (std::size_t k = 2; k < n / 2 - 1; ++k)
    {
        if (std::abs(values[k]) > std::abs(values[nPeak]))
            nPeak = k;
    }
    // A parabola through the peak and its neighbours (on a log scale) finds
    // the tone between two bins.
    const double a = std::log(std::abs(values[nPeak - 1]) + 1e-12);
    const double b = std::log(std::abs(values[nPeak]) + 1e-12);
    const double c = std::log(std::abs(values[nPeak + 1]) + 1e-12);
    const double denominator = a - 2 * b + c;
    const double offset = denominator != 0 ? 0.5 * (a - c) / denominator : 0;
    return (double(nPeak) + offset) * nSampleRate / double(n);
}

double RootMeanSquare(const std::vector<float>& samples, std::size_t nFirst, std::size_t nCount)
{
    if (nFirst >= samples.size())
        return 0;
    nCount = std::min(nCount, samples.size() - nFirst);
    if (nCount == 0)
        return 0;
    double dSum = 0;
    for (std::size_t i = nFirst; i < nFirst + nCount; ++i)
        dSum += double(samples[i]) * samples[i];
    return std::sqrt(dSum / double(nCount));
}

double TailFrequency(const CPcmSound& sound, double dSeconds)
{
    const auto nCount = static_cast<std::size_t>(dSeconds * sound.nSampleRate);
    if (nCount == 0 || sound.mono.size() < nCount)
        return 0;
    return DominantFrequency(sound.mono, sound.mono.size() - nCount, nCount, sound.nSampleRate);
}

double TailLoudness(const CPcmSound& sound, double dSeconds)
{
    const auto nCount = static_cast<std::size_t>(dSeconds * sound.nSampleRate);
    if (nCount == 0 || sound.mono.size() < nCount)
        return 0;
    return RootMeanSquare(sound.mono, sound.mono.size() - nCount, nCount);
}
