#include "core/model/Track.h"

#include <cstdlib>

#include "core/model/DirManager.h"

Track::Track(DirManager* dirManager) : mDirManager(dirManager) {
  if (mDirManager) mDirManager->Ref();
}

Track::Track(const Track& orig) : mChangeCounter(std::rand()) { Init(orig); }

Track::~Track() {
  if (mDirManager) mDirManager->Deref();
}

void Track::Init(const Track& orig) {
  if (orig.mDirManager) orig.mDirManager->Ref();
  if (mDirManager) mDirManager->Deref();
  mDirManager = orig.mDirManager;

  mHeight = orig.mHeight;
  mName = orig.mName;
  mSelected = orig.mSelected;
  mLinked = orig.mLinked;
  mChannel = orig.mChannel;
  mOffset = orig.mOffset;
  mViewSettings[0] = orig.mViewSettings[0];
  mViewSettings[1] = orig.mViewSettings[1];
  mExcluded = orig.mExcluded;
}
