#pragma once
// Reading the sound the player wrote with its PCM file output (a WAVE file
// that may still be growing) and finding out which tone it holds.

#include <cstddef>
#include <string>
#include <vector>

struct CPcmSound
{
    int nSampleRate = 0;
    int nChannels = 0;
    std::vector<float> mono; // the channels mixed, -1..1

    double Seconds() const { return nSampleRate ? double(mono.size()) / nSampleRate : 0.0; }
};

// Reads a WAVE file of 16-bit or 32-bit integer or 32-bit float samples.
// The data runs to the end of the file when the header does not (yet) give
// its true length. False when the file is missing or not a WAVE file.
bool ReadWaveFile(const std::string& strPath, CPcmSound& sound);

// The frequency (Hz) of the strongest tone in samples [nFirst, nFirst + nCount)
// (a Hann-windowed FFT over the largest power of two that fits, refined
// between bins). 0 when there are too few samples.
double DominantFrequency(const std::vector<float>& samples, std::size_t nFirst, std::size_t nCount,
                         int nSampleRate);

// The loudness (root mean square) of samples [nFirst, nFirst + nCount).
double RootMeanSquare(const std::vector<float>& samples, std::size_t nFirst, std::size_t nCount);

// The tone and loudness of the last nSeconds of a sound (0 when it is shorter).
double TailFrequency(const CPcmSound& sound, double dSeconds);
double TailLoudness(const CPcmSound& sound, double dSeconds);
