#pragma once
// A sound factory for the tests of the sound caches and their owners: its sounds play nothing and write
// every call that changes them to one shared log ("name Play", "name Volume -598"...), and a test names
// the files that make only the null sound and those that fail to open (the factory opens nothing itself).
// A sound's state outlives it, so a test can look at a sound its cache has let go.

#include "sdk/multimedia/sound.h"
#include "sdk/multimedia/sound_factory.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace test_support {

namespace mm = zelvoranGameSDK3rd::Multimedia;
using SoundLog = std::vector<std::string>;
using SoundPtr = zelvoranGameSDK3rd::ZTL::smart_ptr<mm::ISound>;

struct RecordedSoundState
{
    bool alive = true;
    bool playing = false;
    int volume = 0;
};

class RecordingSound : public mm::CSoundNullDevice
{
public:
    RecordingSound(std::string name, std::shared_ptr<RecordedSoundState> state, SoundLog& log, bool failOpen)
        : m_name(std::move(name)), m_state(std::move(state)), m_log(log), m_failOpen(failOpen)
    {}
    ~RecordingSound() override { m_state->alive = false; }

    int Open(const mm::string&) override { return Note("Open", m_failOpen ? 1 : 0); }
    int Close() override { return Note("Close"); }
    int Play() override
    {
        m_state->playing = true;
        return Note("Play");
    }
    int Stop() override
    {
        m_state->playing = false;
        return Note("Stop");
    }
    bool IsPlay() override { return m_state->playing; }
    int SetLoopPlay(bool loop) override { return Note(loop ? "Loop" : "Once"); }
    int SetVolume(int volume) override
    {
        m_state->volume = volume;
        return Note("Volume " + std::to_string(volume));
    }
    int GetVolume() override { return m_state->volume; }
    int GetType() override { return mm::kSoundTypeWave; }

private:
    int Note(const std::string& call, int result = 0)
    {
        m_log.push_back(m_name + " " + call);
        return result;
    }

    std::string m_name;
    std::shared_ptr<RecordedSoundState> m_state;
    SoundLog& m_log;
    bool m_failOpen;
};

class RecordingSoundFactory : public mm::CSoundFactory
{
public:
    std::set<std::string> nullNames;    // files that make only the null sound
    std::set<std::string> failingNames; // files whose sounds fail to open
    SoundLog log;
    std::map<std::string, int> made; // sounds made by file name

    // The state of the last sound made for the file name.
    RecordedSoundState& State(const std::string& name) { return *m_states.at(name); }

    SoundPtr CreateSound(const mm::string& fileName) override
    {
        const std::string name = fileName.c_str();
        if (nullNames.contains(name)) return SoundPtr(new mm::CSoundNullDevice);
        ++made[name];
        m_states[name] = std::make_shared<RecordedSoundState>();
        return SoundPtr(new RecordingSound(name, m_states[name], log, failingNames.contains(name)));
    }

private:
    std::map<std::string, std::shared_ptr<RecordedSoundState>> m_states;
};

} // namespace test_support
