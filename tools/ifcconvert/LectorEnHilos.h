#pragma once

#include <ifcpp/reader/ReaderSTEP.h>

namespace quelva::ifcconvert {

// IFC++'s STEP reader with the data section's per-record stages (splitting the text into records,
// making each record's entity, then reading its arguments) spread over several threads: on a
// large model they were most of the single-threaded front of the run. The text is cut between
// records, the entities entered into the model's table in file order and everything else done as
// the reader does, so the model read is the same.
class LectorEnHilos : public ReaderSTEP {
public:
    explicit LectorEnHilos(int hilos) : hilos_(hilos < 1 ? 1 : hilos) {}

    void removeComments(std::string& texto) override;
    using ReaderSTEP::readData;
    void readData(std::string& texto, const BuildingModel::SchemaVersion& version,
                  std::map<int, shared_ptr<BuildingEntity>>& entidades) override;

private:
    int hilos_;
};

}  // namespace quelva::ifcconvert
