// The render system's package and animation registries: packages shared by exact path with a
// count, animations in a list in creation order, each holding one count on its package, and
// the per-clock walk that advances them. Loading and playing are CResource's and CAnimation's.
#include "support/WideFormat.h"

#include <vireo/render.h>
#include <vireo/resource.h>
#include <vireo/support.h>

#include <algorithm>

CResource* CRenderSystem::CreateResource(const wchar_t* path)
{
    const std::wstring key = path ? path : L"";
    auto found = m_Resources.find(key);
    if (found != m_Resources.end()) {
        ++found->second.nRefCount;
        return found->second.pResource;
    }
    CResource* resource = new CResource;
    if (!resource->LoadPackage(this, key.c_str())) {
        // Nothing is registered, so a later call tries again.
        delete resource;
        return nullptr;
    }
    m_Resources[key] = SResourceEntry{resource, 1};
    return resource;
}

void CRenderSystem::ReleaseResource(CResource* pResource)
{
    if (!pResource)
        return;
    for (auto it = m_Resources.begin(); it != m_Resources.end(); ++it) {
        if (it->second.pResource != pResource)
            continue;
        if (it->second.nRefCount < 2) {
            delete it->second.pResource;
            m_Resources.erase(it);
        } else {
            --it->second.nRefCount;
        }
        return;
    }
}

CAnimation* CRenderSystem::CreateAnimation(const wchar_t* path, int sequence)
{
    CResource* resource = CreateResource(path);
    if (!resource)
        return nullptr;
    CAnimation* animation = new CAnimation;
    animation->Create(this, resource, sequence);
    m_Animations.push_back(animation);
    return animation;
}

void CRenderSystem::ReleaseAnimation(const CAnimation* pAnimation)
{
    const auto found = std::find(m_Animations.begin(), m_Animations.end(), pAnimation);
    const auto address = vireo::AddressValue(pAnimation);
    if (found == m_Animations.end()) {
        WriteLog(2, L"ReleaseAnimation  can't find p=0x%08llx", address);
        return;
    }
    WriteLog(1, L"ReleaseAnimation  p=0x%08llx", address);
    CAnimation* animation = *found;
    // Out of the list first, so nothing walking it meets a half-destroyed animation.
    m_Animations.erase(found);
    ReleaseResource(animation->GetResource());
    delete animation;
}

void CRenderSystem::StopAllAnimation()
{
    for (CAnimation* animation : m_Animations)
        animation->Stop();
}

void CRenderSystem::UpdateAnimations(int usage)
{
    for (CAnimation* animation : m_Animations)
        if (animation->GetUsage() == usage)
            animation->Advance();
}
