// The game's texture cache keyed by resource name. A name is loaded once; every user of the
// name gets the same texture, and one release removes it for all (no reference counts).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/LooseFiles.h"
#include "core/WorkMeter.h"
#include "gfx/PixelBudget.h"
#include "gfx/Texture.h"
#include "gfx/TextureFormat.h"
#include "resources/ImageReadAhead.h"
#include "platform/Platform.h"
#include "platform/ResidentMemory.h"
#include "resources/ReleasedTextures.h"

namespace zepa {

class CPackArchive;
class ILog;

// How a layer describes one image it shows. The store reads name, colorKey and format.
struct StageImage {
    std::string name;              // relative resource path (CP932), empty for no image
    uint32_t color = 0xFFFFFFFFu;  // ARGB modulation when drawn
    uint32_t colorKey = 0;         // ARGB colour made transparent, 0 for none
    Rect sourceRect;               // part of the texture to draw
    CTexture* texture = nullptr;   // owned by the store; null when there is none
    uint32_t format = D3DFMT_A8R8G8B8;
};

class CTextureStore {
  public:
    static constexpr uint32_t kPictureColorKey = 0xFF00FF00u;
    static constexpr const char* kSystemGraphicsFolder = "Graphics/System/";

    // Images are read loose first, then from `archive` (may be null); refused names are reported
    // to `log`. The bytes read and pixels decoded are added to `meter` (may be null).
    // Stored images take their pixels from `budget` (may be null: no limit), which the text
    // pictures drawn beside them share.
    CTextureStore(const CPackArchive* archive, ILog& log, CWorkMeter* meter = nullptr,
                  CPixelBudget* budget = nullptr)
        : archive_(archive), log_(log), meter_(meter), budget_(budget) {}
    ~CTextureStore();
    CTextureStore(const CTextureStore&) = delete;
    CTextureStore& operator=(const CTextureStore&) = delete;

    // Loads the image a request names with its colour key and format. False when the name is
    // already stored (the stored texture stays) or the image does not decode; true when it was
    // stored, and true with nothing stored when the name exists neither loose nor in the archive.
    bool LoadTexture(const StageImage& request);
    // The same for pictures and system graphics: A8R8G8B8 with opaque pure green transparent.
    bool LoadTextureFile(const std::string& name);
    // Starts decoding, on the read-ahead worker, the image a later LoadTexture/LoadTextureFile of
    // `name` with this conversion will ask for; nothing when it is stored or kept aside already.
    void ReadAhead(const std::string& name, uint32_t format, uint32_t colorKey);
    // Starts a new look ahead: what earlier looks read ahead and no load took is dropped.
    void BeginReadAhead();
    // The pixels of the images the current look named: read ahead, stored, or kept aside.
    void AppendReadAheadMemory(std::vector<MemoryRange>& ranges) const;
    // Forgets what is read ahead and waits for the worker: the archive is about to be replaced.
    void DropReadAhead() { readAhead_.DropAll(); }
    const CImageReadAhead& readAhead() const { return readAhead_; }
    // The stored texture or null; valid until the name is released.
    CTexture* GetTexture(const std::string& name) const;
    // Releases a stored name; false when it is not stored. The texture is kept aside for a
    // while, and a load of the same unchanged file takes it back without reading it.
    bool ReleaseTexture(const std::string& name);
    void ReleaseAllTextures();
    // Preloads every image of the system graphics folder: loose files in directory order, then
    // the archive's entries in name order (loose versions win).
    void LoadSystemGraphics();

    // The author's reload (the archive was opened again): every stored image whose loose file
    // changed, and every image that came from the archive, is decoded again under its name (the
    // layers, which look textures up by name, show the new one); one that is gone or no longer
    // decodes is released. Released images kept aside are dropped. Returns how many were read again.
    int ReloadChangedImages();

    size_t size() const { return textures_.size(); }
    CPixelBudget* pixelBudget() const { return budget_; }
    const std::map<std::string, std::unique_ptr<CTexture>>& textures() const { return textures_; }

  private:
    bool Load(const std::string& name, uint32_t format, uint32_t colorKey);
    std::unique_ptr<CTexture> Decode(const std::vector<uint8_t>& bytes, uint32_t format, uint32_t colorKey);
    // Stores a decoded texture when the budget has room for it; false (texture dropped) otherwise.
    bool Keep(const ImageKey& key, std::unique_ptr<CTexture> texture);
    // Decodes `name` afresh from its loose file, else the archive; null when it cannot.
    std::unique_ptr<CTexture> ReadAndDecode(const ImageKey& key, const std::optional<std::string>& loose);

    std::map<std::string, std::unique_ptr<CTexture>> textures_;
    std::map<std::string, ImageKey> keys_;  // what each stored texture was made from
    CReleasedTextures released_;
    // Images the current look named that were decoded already (stored or kept aside).
    std::vector<ImageRequest> keptForLook_;
    const CPackArchive* archive_;
    ILog& log_;
    CWorkMeter* meter_;
    CPixelBudget* budget_;
    // The loose-file lookup, its folder listings kept between loads.
    CLooseFiles files_{log_};
    // Last: its worker reads the archive, so it stops first.
    CImageReadAhead readAhead_{archive_};
};

}  // namespace zepa
